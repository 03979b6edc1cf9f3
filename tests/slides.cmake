# The slide show: decoders, slide kinds and rows, slide-list files, the set-up window and
# playback.
quorix_add_test(tst_imagedecoder SOURCES tst_imagedecoder.cpp LIBS quorix_core quorix_imaging)
quorix_add_test(tst_slidelist SOURCES tst_slidelist.cpp LIBS quorix_slideshow)
quorix_add_test(tst_setupwindow SOURCES tst_setupwindow.cpp LIBS quorix_slideshow)
quorix_add_test(tst_slideplayback SOURCES tst_slideplayback.cpp LIBS quorix_app)
