# The options dialogs, the notification icons, the system commands through a recording
# system-actions set, and the desktop and control-panel menus.
add_library(pdtestapplet SHARED ${CMAKE_CURRENT_LIST_DIR}/TestApplet.cpp)
set_target_properties(pdtestapplet PROPERTIES PREFIX "" SUFFIX ".cpl")
target_link_options(pdtestapplet PRIVATE ${PD_STATIC_LINK})

pd_test(system_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp print/PrintSupport.cpp system/OptionsTest.cpp
  system/SystemTest.cpp system/ShellMenuTest.cpp SUITES Options SystemSeam Tray ShellMenus)
target_link_libraries(system_gui_tests PRIVATE pdtestsupport winspool)
add_dependencies(system_gui_tests pdtestapplet)
