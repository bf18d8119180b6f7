# `brenvox --export` against sox with the same bands and against one ffmpeg
# run of Brenvox's own graph, with Brenvox's peak workspace.
add_executable(bench_peers ${CMAKE_CURRENT_LIST_DIR}/bench_peers.cpp)
target_link_libraries(bench_peers PRIVATE brenvox_core Qt6::Core)
add_dependencies(bench_peers brenvox)
add_test(NAME bench_peers_quick COMMAND bench_peers --quick)
set_tests_properties(bench_peers_quick PROPERTIES
    ENVIRONMENT "BRENVOX_BIN=${CMAKE_BINARY_DIR}/bin"
    TIMEOUT 300 LABELS bench)
