# The both-channel preview's log handler over 200,000 chunks.
add_executable(bench_preview_log ${CMAKE_CURRENT_LIST_DIR}/bench_preview_log.cpp)
target_link_libraries(bench_preview_log PRIVATE brenvox_widgets)
add_test(NAME bench_preview_log_quick COMMAND bench_preview_log --quick)
set_tests_properties(bench_preview_log_quick PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    TIMEOUT 300)
