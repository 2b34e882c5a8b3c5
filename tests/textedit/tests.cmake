# The text window: its plain parts, and the window driven for real.
pd_test(textedit_unit_tests SOURCES unit/main.cpp textedit/TextCodecTest.cpp)
target_link_libraries(textedit_unit_tests PRIVATE pdtestsupport)

pd_test(textedit_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp textedit/TextSupport.cpp textedit/TextFilesTest.cpp
  textedit/TextWindowTest.cpp textedit/TextFindTest.cpp
  textedit/TextInputTest.cpp cmdline/LaunchSupport.cpp textedit/TextDispatchTest.cpp
  SUITES TextFiles TextWindow TextFind TextInput TextDispatch)
target_link_libraries(textedit_gui_tests PRIVATE pdtestsupport)
add_dependencies(textedit_gui_tests recordargs)
