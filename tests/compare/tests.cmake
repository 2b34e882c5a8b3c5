# The file compare: its engine as a table, and the window on real files.
pd_test(compare_unit_tests SOURCES unit/main.cpp compare/CompareEngineTest.cpp)
target_link_libraries(compare_unit_tests PRIVATE pdtestsupport)

# The benchmark's driver (bench/compare_bench.sh): the engine as "Compare files" runs it, and the window.
add_executable(comparebench ${CMAKE_CURRENT_LIST_DIR}/BenchMain.cpp)
target_link_libraries(comparebench PRIVATE pdcore)
target_link_options(comparebench PRIVATE ${PD_STATIC_LINK} -municode)
add_dependencies(comparebench PDDLL)

pd_test(compare_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp cmdline/LaunchSupport.cpp compare/CompareDialogTest.cpp
  SUITES CompareFiles)
target_link_libraries(compare_gui_tests PRIVATE pdtestsupport)
add_dependencies(compare_gui_tests recordargs)
