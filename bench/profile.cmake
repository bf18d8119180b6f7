# A profile of many filters imported, file to settings.
add_executable(bench_profile ${CMAKE_CURRENT_LIST_DIR}/bench_profile.cpp)
target_link_libraries(bench_profile PRIVATE brenvox_core)
add_test(NAME bench_profile_quick COMMAND bench_profile --quick)
set_tests_properties(bench_profile_quick PROPERTIES TIMEOUT 600 LABELS bench)
