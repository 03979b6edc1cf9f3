# build/bench_formats: the lossless formats and libraries for the compact picture, on the
# four screen pictures of bench/data/make-screens.sh.
pkg_check_modules(FORMATLIBS REQUIRED IMPORTED_TARGET libpng spng libdeflate libwebp zlib)
add_executable(bench_formats ${CMAKE_CURRENT_LIST_DIR}/bench_formats.cpp)
target_link_libraries(bench_formats PRIVATE quorix_platform Qt6::Gui PkgConfig::FORMATLIBS)
target_compile_definitions(bench_formats PRIVATE QUORIX_BUILD_DIR="${PROJECT_BINARY_DIR}")
