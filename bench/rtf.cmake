# build/bench_rtf: read and write a generated 2 MB RTF, compared with unrtf --text.
add_executable(bench_rtf ${CMAKE_CURRENT_LIST_DIR}/bench_rtf.cpp)
target_link_libraries(bench_rtf PRIVATE quorix_rtf Qt6::Gui)
add_dependencies(bench_rtf rtfcat)
