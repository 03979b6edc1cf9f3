# build/bench_view: decoding and scaling a 1920 x 1080 shar.bmp; with a display (run it
# through bench/run-view.sh), the write-to-paint latency of the real viewer and its CPU
# share while the folder is still.
add_executable(bench_view ${CMAKE_CURRENT_LIST_DIR}/bench_view.cpp)
target_link_libraries(bench_view PRIVATE quorix_view)
target_compile_definitions(bench_view PRIVATE QUORIX_VIEW_BINARY="$<TARGET_FILE:quorix-view>")
add_dependencies(bench_view quorix-view)
