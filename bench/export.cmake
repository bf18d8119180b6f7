# The export's tool time with float channel files against 16-bit ones.
add_executable(bench_export ${CMAKE_CURRENT_LIST_DIR}/bench_export.cpp)
target_link_libraries(bench_export PRIVATE brenvox_process)
add_test(NAME bench_export_quick COMMAND bench_export --quick)
set_tests_properties(bench_export_quick PROPERTIES TIMEOUT 300 LABELS bench)
