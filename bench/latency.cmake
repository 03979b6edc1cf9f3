# build/bench_latency: the real main window as presenter, and the colour changes timed on
# the viewers' windows, for the "change" runs of bench/room.py.
pkg_check_modules(LATENCY_XCB REQUIRED IMPORTED_TARGET xcb)
add_executable(bench_latency ${CMAKE_CURRENT_LIST_DIR}/bench_latency.cpp)
target_link_libraries(bench_latency PRIVATE quorix_app PkgConfig::LATENCY_XCB)
