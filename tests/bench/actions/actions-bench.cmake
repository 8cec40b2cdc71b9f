# Benchmark of a bezel-button press, from the firmware event to the started program's first
# instruction. Built in the win32 preset, run by scripts/bench-actions.sh; not a test.
add_executable(bench_button_start
  ${CMAKE_CURRENT_LIST_DIR}/bench-button-start.cpp
  ${CMAKE_SOURCE_DIR}/tests/e2e/keywatch/keywatch-session.cpp)
target_link_options(bench_button_start PRIVATE -municode)
target_include_directories(bench_button_start PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(bench_button_start PRIVATE orvo_sim gtest)
