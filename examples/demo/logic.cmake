# The demo's game logic: no OpenGL, so the unit tests build it with the
# library's objects and run it without a window.
set(QM_DEMO_LOGIC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Field.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Game.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Text.cpp)
