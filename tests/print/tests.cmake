# Printing: the page arithmetic on its own, then real printing, listings and the printer dialogs.
pd_test(print_unit_tests SOURCES unit/main.cpp print/PrintLayoutTest.cpp)

pd_test(print_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp print/PrintSupport.cpp print/PrintTest.cpp
  SUITES Printing NoPrinter Listings)
target_link_libraries(print_gui_tests PRIVATE pdtestsupport winspool)
