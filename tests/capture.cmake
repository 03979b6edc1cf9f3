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
  LIBS quorix_windowsystem quorix_capture quorix_testhelpers X11)
# The same layer on a server without shared memory and Composite (plain reads, no window
# capture), and under a high-DPI scale factor (captures stay in the server's pixels).
add_test(NAME tst_windowsystem_plain_server
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/with-xvfb.sh $<TARGET_FILE:tst_windowsystem>)
add_test(NAME tst_windowsystem_scaled
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/with-xvfb.sh $<TARGET_FILE:tst_windowsystem>
                 screenGrabIsTheWholeScreenWithThePatternInPlace)
# Two monitors side by side on one X screen, the primary on the right.
add_test(NAME tst_windowsystem_two_monitors
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/with-xvfb.sh $<TARGET_FILE:tst_windowsystem>
                 primaryMonitorOnTheRightIsTheScreen)
set_tests_properties(tst_windowsystem_plain_server tst_windowsystem_scaled
  tst_windowsystem_two_monitors PROPERTIES SKIP_RETURN_CODE 77 LABELS x11)
set_property(TEST tst_windowsystem_two_monitors PROPERTY ENVIRONMENT
  "LC_ALL=C.UTF-8;QT_SCALE_FACTOR=1;QT_ENABLE_HIGHDPI_SCALING=0;${QUORIX_SANITIZER_ENV}"
  "QUORIX_TEST_SCREEN=3840x1080x24")
set_property(TEST tst_windowsystem_plain_server PROPERTY ENVIRONMENT
  "LC_ALL=C.UTF-8;QT_SCALE_FACTOR=1;QT_ENABLE_HIGHDPI_SCALING=0;${QUORIX_SANITIZER_ENV}"
  "QUORIX_XVFB_EXTRA=-extension MIT-SHM -extension Composite")
set_property(TEST tst_windowsystem_scaled PROPERTY ENVIRONMENT
  "LC_ALL=C.UTF-8;QT_SCALE_FACTOR=2;${QUORIX_SANITIZER_ENV}")
quorix_add_test(tst_pickerrules SOURCES tst_pickerrules.cpp LIBS quorix_capture)
quorix_add_test(tst_windowpicker SOURCES tst_windowpicker.cpp
  LIBS quorix_capture quorix_testhelpers X11)
quorix_add_test(tst_clipboardwatcher SOURCES tst_clipboardwatcher.cpp
  LIBS quorix_controls quorix_testhelpers X11)
quorix_add_test(tst_capturesources SOURCES tst_capturesources.cpp
  LIBS quorix_app quorix_testhelpers X11)
# The screen source while the root window itself changes size: Xorg with the dummy video
# driver (the test skips, saying why, where that server cannot start).
add_test(NAME tst_capturesources_resizable_root
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/with-xvfb.sh $<TARGET_FILE:tst_capturesources>
                 screenFollowsThePrimaryMonitor)
set_tests_properties(tst_capturesources_resizable_root PROPERTIES SKIP_RETURN_CODE 77
  LABELS x11 TIMEOUT 120 ENVIRONMENT
  "LC_ALL=C.UTF-8;QT_SCALE_FACTOR=1;QT_ENABLE_HIGHDPI_SCALING=0;QUORIX_X_SERVER=dummy;${QUORIX_SANITIZER_ENV}")
