# The hex editor: its plain parts, and its window driven for real.
pd_test(hexedit_unit_tests SOURCES unit/main.cpp hexedit/ByteBufferTest.cpp hexedit/ValueCodesTest.cpp
  hexedit/SearchTest.cpp hexedit/EditorTest.cpp)
target_link_libraries(hexedit_unit_tests PRIVATE pdtestsupport)

pd_test(hexedit_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp fileops/Answers.cpp fileops/FileCheck.cpp
  hexedit/HexSupport.cpp hexedit/HexWindowTest.cpp
  hexedit/HexInputTest.cpp hexedit/HexCommandsTest.cpp
  hexedit/HexFileTest.cpp hexedit/HexDispatchTest.cpp SUITES HexWindow HexInput HexCommands HexFiles HexDispatch)
target_link_libraries(hexedit_gui_tests PRIVATE psapi)
target_link_libraries(hexedit_gui_tests PRIVATE pdtestsupport)

# The benchmark's driver (bench/hexedit_bench.sh): load and find as the window does them.
add_executable(hexbench ${CMAKE_CURRENT_LIST_DIR}/BenchMain.cpp)
target_link_libraries(hexbench PRIVATE pdcore)
target_link_options(hexbench PRIVATE ${PD_STATIC_LINK} -municode)
