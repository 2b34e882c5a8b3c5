# FTP panels: the listing parser and the sites store directly; the panel against real FTP servers.
pd_test(ftppanel_unit_tests TIMEOUT 120 SOURCES unit/main.cpp ftppanel/ListingParserTest.cpp ftppanel/FtpSitesTest.cpp)
target_link_libraries(ftppanel_unit_tests PRIVATE pdtestsupport)

pd_test(ftppanel_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp fileops/Answers.cpp fileops/FileCheck.cpp
  ftp/FtpTestSupport.cpp ftppanel/FtpPanelTest.cpp ftppanel/FtpTlsPanelTest.cpp
  SUITES FtpPanel FtpPanelScripted FtpTlsPanel)
target_link_libraries(ftppanel_gui_tests PRIVATE pdtestsupport)
