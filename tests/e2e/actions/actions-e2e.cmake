# End-to-end tests of the button actions and display orientation: the installed keywatch
# driven through window messages, the registry and the fwbridge stand-in. Included from
# keywatch/actions.cmake in the win32 build.
orvo_e2e_test(keywatch_actions_e2e_test
  SOURCES
    ${CMAKE_SOURCE_DIR}/tests/e2e/keywatch/keywatch-session.cpp
    ${CMAKE_CURRENT_LIST_DIR}/actions-e2e-fixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/button-actions-e2e-test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/display-orientation-e2e-test.cpp
  LIBS orvo_sim)
target_include_directories(keywatch_actions_e2e_test PRIVATE ${CMAKE_SOURCE_DIR})
