# The response curve after one change of a channel, and one "as drawn" solve.
add_executable(bench_curve ${CMAKE_CURRENT_LIST_DIR}/bench_curve.cpp)
target_link_libraries(bench_curve PRIVATE brenvox_core)
add_test(NAME bench_curve_quick COMMAND bench_curve --quick)
set_tests_properties(bench_curve_quick PROPERTIES TIMEOUT 300 LABELS bench)
