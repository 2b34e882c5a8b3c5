# Archive readers, the zip and rar libraries, and the archive dialog.
pd_test(archive_unit_tests SOURCES unit/main.cpp archive/ArchiveBytes.cpp archive/NameTest.cpp archive/TarTest.cpp
  archive/GzipTest.cpp archive/ZipTest.cpp archive/RarTest.cpp)
target_link_libraries(archive_unit_tests PRIVATE pdtestsupport)

# The archives the dialog tests read are made by the real tools before those tests run.
add_test(NAME archive_fixtures COMMAND ${CMAKE_CURRENT_LIST_DIR}/make_fixtures.sh ${CMAKE_BINARY_DIR}/archivefixture)
set_tests_properties(archive_fixtures PROPERTIES FIXTURES_SETUP ArchiveFixtures TIMEOUT 300 LABELS console)

set(PD_ARCHIVE_SUITES ArchiveList ArchiveExtract ArchiveOverwrite ArchivePassword ArchiveHostile ArchivePanel)
pd_test(archive_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp fileops/Answers.cpp fileops/FileCheck.cpp
  archive/ArchiveBytes.cpp archive/ArchiveSupport.cpp archive/ListTest.cpp archive/ExtractTest.cpp
  archive/HostileTest.cpp archive/PanelTest.cpp
  SUITES ${PD_ARCHIVE_SUITES})
target_link_libraries(archive_gui_tests PRIVATE pdtestsupport)
foreach(suite ${PD_ARCHIVE_SUITES})
  set_tests_properties(archive_gui_tests.${suite} PROPERTIES FIXTURES_REQUIRED ArchiveFixtures
    ENVIRONMENT PD_ARCHIVE_FIXTURE=${CMAKE_BINARY_DIR}/archivefixture)
endforeach()

# The benchmark's driver (bench/archive_bench.sh): lists or extracts one archive through the dialog.
add_executable(archbench ${CMAKE_CURRENT_LIST_DIR}/BenchMain.cpp ${CMAKE_CURRENT_LIST_DIR}/../fileops/Answers.cpp)
target_link_libraries(archbench PRIVATE pdtestsupport)
target_include_directories(archbench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_options(archbench PRIVATE ${PD_STATIC_LINK} -municode)
add_dependencies(archbench PDDLL)

# The zip writer and packer, checked with unzip and 7-Zip.
pd_test(zip_write_tests TIMEOUT 400 SOURCES unit/main.cpp archive/ZipWriteTest.cpp archive/ZipTools.cpp
  SUITES ZipWriteTest ZipWriteLarge ZipNames ZipSpan)
target_link_libraries(zip_write_tests PRIVATE pdtestsupport)

# "Zip" and "ZipSelf" through the panels and dialogs; self-extractors run under Wine.
pd_test(zipcreate_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp fileops/Answers.cpp fileops/FileCheck.cpp
  archive/ZipCommandTest.cpp archive/ZipTools.cpp SUITES ZipCommand ZipSelf)
target_link_libraries(zipcreate_gui_tests PRIVATE pdtestsupport)
add_dependencies(zipcreate_gui_tests pdsfx)
