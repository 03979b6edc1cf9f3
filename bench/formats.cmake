# build/bench_formats: the lossless formats and libraries for the compact picture, on the
# four screen pictures of bench/data/make-screens.sh.
# Its libraries are for the comparison only, so a machine set up to build and run the
# program (tools/deps.sh build) configures without them; tools/deps.sh test installs them.
pkg_check_modules(FORMATLIBS IMPORTED_TARGET libpng spng libdeflate libwebp zlib)
if(NOT FORMATLIBS_FOUND)
  message(STATUS "bench_formats left out: it needs libspng-dev and libwebp-dev "
                 "(tools/deps.sh test installs them)")
  return()
endif()
add_executable(bench_formats ${CMAKE_CURRENT_LIST_DIR}/bench_formats.cpp)
target_link_libraries(bench_formats PRIVATE quorix_exchange Qt6::Gui PkgConfig::FORMATLIBS)
target_compile_definitions(bench_formats PRIVATE QUORIX_BUILD_DIR="${PROJECT_BINARY_DIR}")
