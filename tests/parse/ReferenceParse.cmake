# The slow literal parser the fast one is checked against; used by the parse
# tests and by the classifier fuzzer.
ombrel_library(ombrel_parse_reference ${CMAKE_CURRENT_LIST_DIR}/ReferenceParse.cpp)
target_link_libraries(ombrel_parse_reference PUBLIC ombrel_parse)
target_include_directories(ombrel_parse_reference PUBLIC ${PROJECT_SOURCE_DIR}/tests)
