# "As drawn" solves over many slider settings: their time and how far they land.
add_executable(bench_asdrawn ${CMAKE_CURRENT_LIST_DIR}/bench_asdrawn.cpp)
target_link_libraries(bench_asdrawn PRIVATE brenvox_core)
add_test(NAME bench_asdrawn_quick COMMAND bench_asdrawn --quick)
set_tests_properties(bench_asdrawn_quick PROPERTIES TIMEOUT 300 LABELS bench)
