add_executable(bench_xibutton ${CMAKE_CURRENT_LIST_DIR}/bench_xibutton.cpp)
target_link_libraries(bench_xibutton PRIVATE quorix_controls)
