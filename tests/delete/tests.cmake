# Delete, rename, make directory, attributes, dates and space.
pd_test(delete_unit_tests SOURCES unit/main.cpp delete/DateTimeTextTest.cpp)
target_link_libraries(delete_unit_tests PRIVATE pdtestsupport)

pd_test(delete_gui_tests GUI TIMEOUT 240 SOURCES gui/main.cpp fileops/Answers.cpp fileops/FileCheck.cpp
  delete/DeleteSupport.cpp delete/DeleteTest.cpp delete/AttributesTest.cpp delete/SpaceTest.cpp
  SUITES Delete Trash TrashRefused DeleteLinks Attributes MakeDir Space Rename)
target_link_libraries(delete_gui_tests PRIVATE pdtestsupport)
