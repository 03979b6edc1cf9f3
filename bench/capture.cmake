add_executable(bench_capture bench_capture.cpp)
target_link_libraries(bench_capture PRIVATE quorix_app Qt6::Test)
target_compile_definitions(bench_capture PRIVATE
  QUORIX_TESTWINDOW="$<TARGET_FILE:quorix_testwindow>")
add_dependencies(bench_capture quorix_testwindow)
