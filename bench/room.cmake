# build/bench_room: the presenter's tick and a changing screen for the room benchmark
# (bench/room.py runs it with 30 viewers on a second Xvfb screen).
add_executable(bench_room ${CMAKE_CURRENT_LIST_DIR}/bench_room.cpp)
target_link_libraries(bench_room PRIVATE quorix_presenter quorix_core quorix_testsupport Qt6::Widgets)
