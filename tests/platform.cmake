quorix_add_test(tst_linefile SOURCES tst_linefile.cpp LIBS quorix_core)
quorix_add_test(tst_inifile SOURCES tst_inifile.cpp LIBS quorix_core)
quorix_add_test(tst_bmpfile SOURCES tst_bmpfile.cpp LIBS quorix_core quorix_imaging)
quorix_add_test(tst_timer SOURCES tst_timer.cpp LIBS quorix_controls)
pkg_check_modules(DEFLATE_TEST REQUIRED IMPORTED_TARGET libdeflate)
quorix_add_test(tst_compactpicture SOURCES tst_compactpicture.cpp
  LIBS quorix_presenter quorix_exchange quorix_imaging quorix_core PkgConfig::DEFLATE_TEST)
quorix_add_test(tst_sendingthread SOURCES tst_sendingthread.cpp LIBS quorix_exchange quorix_core)
quorix_add_test(tst_framecompare SOURCES tst_framecompare.cpp LIBS quorix_imaging)
