# The keywatch benchmark program (Windows, run under the harness by scripts/bench-keywatch.sh).
add_executable(keywatch_bench ${CMAKE_CURRENT_LIST_DIR}/keywatch-bench.cpp)
target_link_options(keywatch_bench PRIVATE -municode)
target_link_libraries(keywatch_bench PRIVATE orvo_sim)
