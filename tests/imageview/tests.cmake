# The image codec, the image viewer and the system-information page.
pd_test(imageview_unit_tests TIMEOUT 300 SOURCES unit/main.cpp imageview/ImageSupport.cpp imageview/CodecTest.cpp
  imageview/CodecFilesTest.cpp imageview/SaveFormatsTest.cpp imageview/SystemInfoTest.cpp
  SUITES PcxCodec TgaCodec CodecHostile EpsCodec ImageMemory SaveFormats SystemInfoText SystemInfoBios SystemInfoFacts
  CodecFiles)
target_link_libraries(imageview_unit_tests PRIVATE pdtestsupport)

# Reports the system-information version text when Wine plays another Windows version.
add_executable(osversion tools/osversion.cpp)
target_link_libraries(osversion PRIVATE pdcore)
target_link_options(osversion PRIVATE ${PD_STATIC_LINK} -municode)
add_dependencies(imageview_unit_tests osversion)

pd_test(imageview_gui_tests GUI TIMEOUT 300 SOURCES gui/main.cpp imageview/ImageSupport.cpp imageview/ModalDriver.cpp
  imageview/ViewerTest.cpp imageview/ImageViewTest.cpp imageview/ImageSaveTest.cpp imageview/SystemInfoPageTest.cpp
  SUITES ImageView ImageSave ImageCopy SystemInfoPage)
target_link_libraries(imageview_gui_tests PRIVATE pdtestsupport)
add_dependencies(imageview_gui_tests recordargs)
