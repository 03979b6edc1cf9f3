# build/bench_slides: the slide decoders against djpeg, vipsthumbnail and convert, and
# opening a slide list of 500 photos.
add_executable(bench_slides ${CMAKE_CURRENT_LIST_DIR}/bench_slides.cpp)
target_link_libraries(bench_slides PRIVATE quorix_slideshow)
target_compile_definitions(bench_slides PRIVATE QUORIX_SLIDECAT="$<TARGET_FILE:slidecat>")
add_dependencies(bench_slides slidecat)
