# The hex editor: its plain parts, and its window driven for real.
pd_test(hexedit_unit_tests SOURCES unit/main.cpp hexedit/ByteBufferTest.cpp hexedit/ValueCodesTest.cpp
  hexedit/SearchTest.cpp hexedit/EditorTest.cpp)
target_link_libraries(hexedit_unit_tests PRIVATE pdtestsupport)
