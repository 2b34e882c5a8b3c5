# Directory watching, directory compare and synchronise.
pd_test(dirsync_unit_tests SOURCES unit/main.cpp dirsync/NameTableTest.cpp dirsync/WatcherTest.cpp
  SUITES NameTable RefreshPacing Watcher)
target_link_libraries(dirsync_unit_tests PRIVATE pdtestsupport)

pd_test(dirsync_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp fileops/Answers.cpp fileops/FileCheck.cpp
  delete/DeleteSupport.cpp dirsync/WatchTest.cpp dirsync/SyncTest.cpp
  SUITES Watching DirCompare Synchronise SyncEngine)
target_link_libraries(dirsync_gui_tests PRIVATE pdtestsupport)
