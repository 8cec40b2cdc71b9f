# Button actions and display orientation: sources for keywatch, and their own tests.
# Included by keywatch/CMakeLists.txt; ORVO_KEYWATCH_ACTION_SOURCES joins keywatch.exe.
set(ORVO_KEYWATCH_ACTION_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/button-actions-win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display-orientation-win.cpp)
