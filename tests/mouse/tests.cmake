# The mouse in the panels: clicks, drag and drop, the shell's context menu, file types and shortcuts.
pd_test(mouse_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp mouse/MouseSupport.cpp mouse/FileTypesTest.cpp
  mouse/ShortcutTest.cpp mouse/ContextMenuTest.cpp mouse/DragTest.cpp ftp/FtpTestSupport.cpp
  SUITES FileTypes Associate Shortcut ContextMenu DropList Drag FtpDrag)
target_link_libraries(mouse_gui_tests PRIVATE pdtestsupport)
add_dependencies(mouse_gui_tests recordargs)
