quorix_add_test(tst_linefile SOURCES tst_linefile.cpp LIBS quorix_platform)
quorix_add_test(tst_inifile SOURCES tst_inifile.cpp LIBS quorix_platform)
quorix_add_test(tst_bmpfile SOURCES tst_bmpfile.cpp LIBS quorix_platform)
quorix_add_test(tst_timer SOURCES tst_timer.cpp LIBS quorix_controls)
