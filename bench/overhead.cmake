# Brenvox's cost on top of its tools: the import and the export of a long
# stereo MP3 through their windows against the same tool runs alone, the
# window thread's lateness and the peak resident memory during the export;
# a batch through the command line against the same exports step by step.
add_executable(bench_overhead ${CMAKE_CURRENT_LIST_DIR}/bench_overhead.cpp)
target_link_libraries(bench_overhead PRIVATE brenvox_app brenvox_test_support Qt6::Test)
# It times a batch through the program's command line too.
add_dependencies(bench_overhead brenvox)
add_test(NAME bench_overhead_quick COMMAND bench_overhead --quick)
set_tests_properties(bench_overhead_quick PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;BRENVOX_BIN=${CMAKE_BINARY_DIR}/bin"
    TIMEOUT 300 LABELS bench)
