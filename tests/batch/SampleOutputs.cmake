# Runs ombrel-batch on the bundled sample log in a few settings under both
# rule sets and compares a SHA-256 of every file it writes, and of what it
# prints, with tests/batch/golden/sample.sha256: any byte that changes in any
# output fails. The reports' creation stamps and the output folder are taken
# out first. With UPDATE=1 the list is written anew instead (only when an
# output is meant to change).
#
#   cmake -DBATCH=path/to/ombrel-batch -DSOURCE=source-dir -DWORK=scratch-dir [-DUPDATE=1]
#         -P SampleOutputs.cmake

set(runs
    "default-plain|--rules|default|--event|2|--timeline|--combatant| [ Total ] "
    "default-pets|--rules|default|--pets|--gap|42|--event|1|--sort|1|--combatant|@COMBATANT@"
    "extended-plain|--rules|extended|--event|2|--sort|3|--timeline|--combatant| [ Total ] "
    "extended-pets|--rules|extended|--pets|--gap|900|--event|1|--sort|2|--combatant|@COMBATANT@"
    "encounter-plain|--rules|default|--encounters|--encounter|1|--timeline|--combatant| [ Total ] "
    "union-pets|--rules|extended|--pets|--event|4-6,8|--sort|2|--timeline|--combatant|@COMBATANT@")
set(combatant "Tarlen + pet")
set(files Data.csv Events.csv events.htm textpclist.csv event-detail.htm PCdetail.csv timeline.csv
          timeline.svg encounters.csv)

set(lines "")
foreach(run IN LISTS runs)
  string(REPLACE "@COMBATANT@" "${combatant}" run "${run}")
  string(REPLACE "|" ";" args "${run}")
  list(POP_FRONT args name)
  set(out "${WORK}/${name}")
  file(REMOVE_RECURSE "${out}")
  execute_process(COMMAND "${BATCH}" --out "${out}" --name Tarlen ${args} "${SOURCE}/data/sample.txt"
                  OUTPUT_VARIABLE printed ERROR_VARIABLE errors RESULT_VARIABLE code)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${name}: ombrel-batch ended with ${code}: ${errors}")
  endif()
  string(REPLACE "${out}" "OUT" printed "${printed}")
  string(REPLACE "${SOURCE}" "SOURCE" printed "${printed}")
  string(SHA256 hash "${printed}")
  string(APPEND lines "${name}/stdout ${hash}\n")
  foreach(file IN LISTS files)
    if(EXISTS "${out}/${file}")
      file(READ "${out}/${file}" text)
      string(REGEX REPLACE "created on [^<]*<" "created on <" text "${text}")
      string(SHA256 hash "${text}")
      string(APPEND lines "${name}/${file} ${hash}\n")
    endif()
  endforeach()
endforeach()

set(golden "${SOURCE}/tests/batch/golden/sample.sha256")
if(UPDATE)
  file(WRITE "${golden}" "${lines}")
  return()
endif()
file(READ "${golden}" expected)
if(NOT lines STREQUAL expected)
  file(WRITE "${WORK}/sample.sha256" "${lines}")
  message(FATAL_ERROR
          "The sample's outputs changed: compare ${WORK}/sample.sha256 with ${golden} and look "
          "at the files under ${WORK}. Only when a change is meant, write the list anew:\n"
          "  cmake -DBATCH=${BATCH} -DSOURCE=${SOURCE} -DWORK=${WORK} -DUPDATE=1 -P "
          "${CMAKE_CURRENT_LIST_FILE}")
endif()
