# Capture sources: the window-system layer, the clipboard notifier, the window picker and
# the main window's capture handlers. The X11 ones meet a real Xvfb with openbox and real
# outside clients.
add_executable(quorix_testwindow helpers/testwindow.cpp)
target_link_libraries(quorix_testwindow PRIVATE Qt6::Gui)

add_library(quorix_testhelpers STATIC helpers/OutsideWindow.cpp helpers/OutsideWindow.h)
target_include_directories(quorix_testhelpers PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorix_testhelpers PUBLIC Qt6::Core)
target_compile_definitions(quorix_testhelpers PRIVATE
  QUORIX_TESTWINDOW="$<TARGET_FILE:quorix_testwindow>")
add_dependencies(quorix_testhelpers quorix_testwindow)

quorix_add_test(tst_windowsystem SOURCES tst_windowsystem.cpp
  LIBS quorix_platform quorix_capture quorix_testhelpers X11)
quorix_add_test(tst_pickerrules SOURCES tst_pickerrules.cpp LIBS quorix_capture)
quorix_add_test(tst_windowpicker SOURCES tst_windowpicker.cpp
  LIBS quorix_capture quorix_testhelpers X11)
quorix_add_test(tst_pjcbviewer SOURCES tst_pjcbviewer.cpp
  LIBS quorix_controls quorix_testhelpers X11)
