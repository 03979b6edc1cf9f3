# Run inside the private Wayland session: tools/bench-wayland.sh.
if(QUORIX_PORTAL AND NOT QUORIX_SANITIZE)
  add_executable(bench_portal bench_portal.cpp)
  target_link_libraries(bench_portal PRIVATE quorix_app quorix_windowsystem_portal Qt6::Test)
endif()
