quorix_add_test(tst_startup SOURCES tst_startup.cpp LIBS quorix_app)
quorix_add_test(tst_sending SOURCES tst_sending.cpp LIBS quorix_app)
quorix_add_test(tst_options SOURCES tst_options.cpp LIBS quorix_app)
quorix_add_test(tst_preview SOURCES tst_preview.cpp LIBS quorix_app)
