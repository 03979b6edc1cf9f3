# RTF reader and writer. tst_rtf_corpus replays the fuzz corpus, the fuzz
# crashers and the word-processor files of tests/data/rtf.
quorix_add_test(tst_rtf_reader SOURCES tst_rtf_reader.cpp tst_rtf_support.h LIBS quorix_rtf)
quorix_add_test(tst_rtf_writer SOURCES tst_rtf_writer.cpp tst_rtf_support.h LIBS quorix_rtf)
quorix_add_test(tst_rtf_file SOURCES tst_rtf_file.cpp LIBS quorix_rtf)
quorix_add_test(tst_rtf_corpus SOURCES tst_rtf_corpus.cpp tst_rtf_support.h LIBS quorix_rtf
                TIMEOUT 600)
target_compile_definitions(tst_rtf_corpus PRIVATE QUORIX_RTFCAT="$<TARGET_FILE:rtfcat>")
add_dependencies(tst_rtf_corpus rtfcat)
quorix_add_test(tst_rtf_wordprocessor SOURCES tst_rtf_wordprocessor.cpp tst_rtf_support.h
                LIBS quorix_rtf)
