# The main window: a band scroll with sync on, Reset, and start-up without the pause.
add_executable(bench_main_window ${CMAKE_CURRENT_LIST_DIR}/bench_main_window.cpp)
target_link_libraries(bench_main_window PRIVATE brenvox_app brenvox_test_support)
add_test(NAME bench_main_window_quick COMMAND bench_main_window --quick)
set_tests_properties(bench_main_window_quick PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    TIMEOUT 300 LABELS bench)
