# The viewer (quorix-view): its settings, where the picture goes, reading files the
# presenter may be writing, the folder watch, and the real program under Xvfb.
quorix_add_test(tst_viewersettings SOURCES tst_viewersettings.cpp LIBS quorix_view)
quorix_add_test(tst_exchangefiles SOURCES tst_exchangefiles.cpp LIBS quorix_view)
quorix_add_test(tst_folderwatch SOURCES tst_folderwatch.cpp LIBS quorix_view TIMEOUT 60)
quorix_add_test(tst_picturechoice SOURCES tst_picturechoice.cpp LIBS quorix_view quorix_presenter TIMEOUT 120)
# What the presenter writes, read back by the viewer's side, with no display.
quorix_add_test(tst_exchange_roundtrip SOURCES tst_exchange_roundtrip.cpp LIBS quorix_presenter quorix_exchange quorix_imaging quorix_core TIMEOUT 60)
quorix_add_test(tst_x11_viewer SOURCES tst_x11_viewer.cpp LIBS quorix_view quorix_presenter quorix_testhelpers X11 TIMEOUT 120)
target_compile_definitions(tst_x11_viewer PRIVATE QUORIX_VIEW_BINARY="$<TARGET_FILE:quorix-view>")
add_dependencies(tst_x11_viewer quorix-view)
# A small screen keeps full-screen repaints cheap, and running alone keeps the viewer's
# repaints from slowing the timing-sensitive window tests that run beside it.
set_property(TEST tst_x11_viewer APPEND PROPERTY ENVIRONMENT "QUORIX_TEST_SCREEN=1024x768x24")
set_tests_properties(tst_x11_viewer PROPERTIES RUN_SERIAL TRUE)
# A FUSE pass-through whose files have whole-second or two-second times, as some shares
# give them, for the viewer's tests of such shares (they skip without it).
pkg_check_modules(FUSE3 IMPORTED_TARGET fuse3)
if(FUSE3_FOUND)
  add_executable(quorix_coarsetimefs helpers/coarsetimefs.cpp)
  target_link_libraries(quorix_coarsetimefs PRIVATE PkgConfig::FUSE3)
  target_compile_definitions(tst_picturechoice
    PRIVATE QUORIX_COARSETIMEFS="$<TARGET_FILE:quorix_coarsetimefs>")
  add_dependencies(tst_picturechoice quorix_coarsetimefs)
endif()
