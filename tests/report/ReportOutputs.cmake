# Runs report_fixture and compares each file it writes with its golden file in
# tests/report/golden (named fixture-<file>) byte for byte. With UPDATE=1 the
# golden files are written anew instead (only when an output is meant to change).
#
#   cmake -DFIXTURE=path/to/report_fixture -DSOURCE=source-dir -DWORK=scratch-dir [-DUPDATE=1]
#         -P ReportOutputs.cmake

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${FIXTURE}" "${WORK}" RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "report_fixture ended with ${code}")
endif()
set(failed "")
foreach(file events.htm event-detail.htm timeline.svg timeline-odd-names.svg)
  set(golden "${SOURCE}/tests/report/golden/fixture-${file}")
  if(UPDATE)
    file(COPY_FILE "${WORK}/${file}" "${golden}")
  else()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${file}" "${golden}"
                    RESULT_VARIABLE differs)
    if(differs)
      list(APPEND failed "${WORK}/${file}")
    endif()
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR
          "differ from their golden files in ${SOURCE}/tests/report/golden: ${failed}. Only when "
          "a change is meant, write them anew:\n  cmake -DFIXTURE=${FIXTURE} -DSOURCE=${SOURCE} "
          "-DWORK=${WORK} -DUPDATE=1 -P ${CMAKE_CURRENT_LIST_FILE}")
endif()
