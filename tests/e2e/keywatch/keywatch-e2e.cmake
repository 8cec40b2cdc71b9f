# End-to-end tests of keywatch: the installed program driven through the Service Control
# Manager, the registry and window messages, against the simulated machine. Included from
# keywatch/CMakeLists.txt in the win32 build.
orvo_e2e_test(keywatch_e2e_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/keywatch-session.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keywatch-startup-e2e-test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keywatch-dispatch-e2e-test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keywatch-channel-e2e-test.cpp
  LIBS orvo_sim)
target_include_directories(keywatch_e2e_test PRIVATE ${CMAKE_SOURCE_DIR})
