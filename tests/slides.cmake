# The slide show: decoders, slide kinds and rows, slide-list files, the set-up window and
# playback.
quorix_add_test(tst_imagedecoder SOURCES tst_imagedecoder.cpp LIBS quorix_platform)
