# Button actions and display orientation: sources for keywatch, and their own tests.
# Included by keywatch/CMakeLists.txt; ORVO_KEYWATCH_ACTION_SOURCES joins keywatch.exe.

# Portable decisions, built in every preset.
add_library(keywatch_actions STATIC
  ${CMAKE_CURRENT_LIST_DIR}/button-actions-rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display-orientation-rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/start-application-plan.cpp)
target_include_directories(keywatch_actions PUBLIC ${CMAKE_SOURCE_DIR})

orvo_unit_test(keywatch_actions_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/button-actions-rules-test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/display-orientation-rules-test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/start-application-plan-test.cpp
  LIBS keywatch_actions)

# Windows shells, compiled into keywatch.exe.
set(ORVO_KEYWATCH_ACTION_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/button-actions-win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display-orientation-win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/start-application-win.cpp)

if(NOT ORVO_NATIVE)
  # A program that records how it was started, next to its own image, for the start tests.
  add_executable(start_application_probe ${CMAKE_CURRENT_LIST_DIR}/start-application-probe-win.cpp)
  target_link_options(start_application_probe PRIVATE -municode)

  # The shells against the real registry, display settings and process creation; the command
  # channel is replaced by a scripted fake.
  orvo_win_test(keywatch_actions_win_test
    SOURCES
      ${ORVO_KEYWATCH_ACTION_SOURCES}
      ${CMAKE_CURRENT_LIST_DIR}/button-actions-win-test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/display-orientation-win-test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/start-application-win-test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/display-orientation-fake-channel-win.cpp
    LIBS keywatch_actions orvo_win user32 shell32)
  # The tests find the probe beside their own image.
  add_dependencies(keywatch_actions_win_test start_application_probe)
endif()

if(ORVO_WIN32)
  include(${CMAKE_SOURCE_DIR}/tests/e2e/actions/actions-e2e.cmake)
  include(${CMAKE_SOURCE_DIR}/tests/bench/actions/actions-bench.cmake)
endif()
