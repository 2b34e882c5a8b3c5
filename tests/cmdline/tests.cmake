# The command line, program launching, application buttons and the function-key bar.
pd_test(cmdline_unit_tests SOURCES unit/main.cpp cmdline/PlaceholderTest.cpp cmdline/ProgramKindTest.cpp
  cmdline/HistoryTest.cpp)
target_link_libraries(cmdline_unit_tests PRIVATE pdtestsupport)

pd_test(cmdline_gui_tests GUI TIMEOUT 240 SOURCES gui/main.cpp cmdline/LaunchSupport.cpp cmdline/CommandLineTest.cpp
  cmdline/AppButtonTest.cpp cmdline/SafeLaunchTest.cpp SUITES CommandLine AppButtons SafeLaunch)
target_link_libraries(cmdline_gui_tests PRIVATE pdtestsupport)
add_dependencies(cmdline_gui_tests recordargs)
