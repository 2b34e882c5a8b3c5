# FTP tests: the TCP layer and the engine against a scripted server, and against real local servers.
pd_test(ftp_unit_tests TIMEOUT 120 SOURCES unit/main.cpp ftp/FtpTestSupport.cpp ftp/TcpLayerTest.cpp
  ftp/FtpRepliesTest.cpp ftp/FtpScriptedTest.cpp ftp/FtpInStepTest.cpp)
pd_test(ftp_server_tests TIMEOUT 240 SOURCES unit/main.cpp ftp/FtpTestSupport.cpp ftp/FtpServerTest.cpp
  ftp/TlsLayerTest.cpp ftp/FtpTlsTest.cpp)
target_link_libraries(ftp_server_tests PRIVATE pdtestsupport)
target_link_libraries(ftp_unit_tests PRIVATE pdtestsupport)
