# Copy, move, tree delete and the drive boxes.
pd_test(fileops_unit_tests SOURCES unit/main.cpp fileops/PathRulesTest.cpp)
target_link_libraries(fileops_unit_tests PRIVATE pdtestsupport)

pd_test(fileops_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp fileops/Answers.cpp fileops/FileCheck.cpp
  fileops/CopyTest.cpp fileops/OverwriteTest.cpp fileops/SafetyTest.cpp fileops/MoveTest.cpp fileops/DriveTest.cpp
  fileops/LongPathTest.cpp
  SUITES Copy Overwrite Safety Links Move Drives LongPaths)
target_link_libraries(fileops_gui_tests PRIVATE pdtestsupport)

# The benchmark's driver: copies one path to another through the real copy command.
add_executable(pdbench ${CMAKE_CURRENT_LIST_DIR}/BenchMain.cpp ${CMAKE_CURRENT_LIST_DIR}/Answers.cpp)
target_link_libraries(pdbench PRIVATE pdtestsupport)
target_include_directories(pdbench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_options(pdbench PRIVATE ${PD_STATIC_LINK} -municode)
add_dependencies(pdbench PDDLL)
