# The file search: the content test and the walk on real trees, and the dialog driven by messages.
pd_test(search_unit_tests SOURCES unit/main.cpp search/ContentSearchTest.cpp search/FileWalkTest.cpp
  SUITES SearchText Content TermMatcher SearchMask SearchDate Walk)
target_link_libraries(search_unit_tests PRIVATE pdtestsupport)

pd_test(search_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp cmdline/LaunchSupport.cpp imageview/ModalDriver.cpp
  search/SearchDialogTest.cpp
  SUITES SearchDialog SearchPaths)
target_link_libraries(search_gui_tests PRIVATE pdtestsupport)
add_dependencies(search_gui_tests recordargs)
