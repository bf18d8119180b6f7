add_executable(bench_import ${CMAKE_CURRENT_LIST_DIR}/bench_import.cpp)
target_link_libraries(bench_import PRIVATE brenvox_process)
add_test(NAME bench_import_quick COMMAND bench_import --quick)
set_tests_properties(bench_import_quick PROPERTIES LABELS bench)
