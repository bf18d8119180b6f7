add_executable(bench_preview ${CMAKE_CURRENT_LIST_DIR}/bench_preview.cpp)
target_link_libraries(bench_preview PRIVATE brenvox_jobs)
add_test(NAME bench_preview_quick COMMAND bench_preview --quick)
set_tests_properties(bench_preview_quick PROPERTIES LABELS bench)
