# build/bench_rtf: read and write a generated 2 MB RTF and one written by LibreOffice, open
# each in the editor, and compare with unrtf --text; then time hostile input (deep nesting,
# random bytes, the fuzz corpus).
find_package(ZLIB REQUIRED)
add_executable(bench_rtf ${CMAKE_CURRENT_LIST_DIR}/bench_rtf.cpp)
target_link_libraries(bench_rtf PRIVATE quorix_rtf quorix_text Qt6::Widgets ZLIB::ZLIB)
target_compile_definitions(bench_rtf PRIVATE QUORIX_BENCH_DATA="${CMAKE_CURRENT_LIST_DIR}/data"
  QUORIX_FUZZ_CORPUS="${PROJECT_SOURCE_DIR}/tests/data/rtf/fuzz")
add_dependencies(bench_rtf rtfcat)
