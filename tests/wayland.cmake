# Wayland desktops: a private headless sway session with PipeWire, WirePlumber and the real
# xdg-desktop-portal front end (tests/wayland/with-sway.sh), whose screen-cast back end is
# the test program below. Each test starts a whole desktop of its own; they run one at a
# time (RESOURCE_LOCK), so that two desktops never compete for the machine's two cores.
# The sanitizer build leaves them out: their programs run as another user, from copies.
# A build without the portal back end has nothing to test here.
if(QUORIX_SANITIZE OR NOT QUORIX_PORTAL)
  return()
endif()
pkg_check_modules(PIPEWIRE_TEST REQUIRED IMPORTED_TARGET libpipewire-0.3)
add_executable(quorix-screencast-backend
  wayland/backend/main.cpp wayland/backend/VideoSource.cpp wayland/backend/VideoSource.h)
target_link_libraries(quorix-screencast-backend PRIVATE Qt6::DBus Qt6::Gui PkgConfig::PIPEWIRE_TEST)
# libpipewire's headers are C and use designated initialisers and zero-size arrays.
target_compile_options(quorix-screencast-backend PRIVATE -Wno-pedantic -Wno-missing-field-initializers)

# Runs a test inside the Wayland session, one session at a time.
function(quorix_add_wayland_test name)
  cmake_parse_arguments(T "NO_PORTAL;MONITORS_ONLY;LATE_PORTAL" "TIMEOUT" "COMMAND;COPY" ${ARGN})
  set(flags)
  if(T_NO_PORTAL)
    list(APPEND flags --no-portal)
  endif()
  if(T_MONITORS_ONLY)
    list(APPEND flags --monitors-only)
  endif()
  if(T_LATE_PORTAL)
    list(APPEND flags --late-portal)
  endif()
  foreach(file ${T_COPY})
    list(APPEND flags --copy ${file})
  endforeach()
  add_test(NAME ${name}
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wayland/with-sway.sh ${flags}
                   --copy $<TARGET_FILE:quorix-screencast-backend> -- ${T_COMMAND})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 180)
  endif()
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 LABELS wayland
    RESOURCE_LOCK wayland-session TIMEOUT ${T_TIMEOUT})
endfunction()

add_executable(tst_portalscreencast wayland/tst_portalscreencast.cpp)
target_link_libraries(tst_portalscreencast PRIVATE quorix_windowsystem_portal Qt6::DBus Qt6::Test)
quorix_add_wayland_test(tst_wayland_portal COMMAND $<TARGET_FILE:tst_portalscreencast>)
quorix_add_wayland_test(tst_wayland_no_portal NO_PORTAL
  COMMAND $<TARGET_FILE:tst_portalscreencast> withoutScreenCast)
set_tests_properties(tst_wayland_portal tst_wayland_no_portal PROPERTIES
  ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# The viewer natively on Wayland.
add_executable(tst_wayland_viewer wayland/tst_wayland_viewer.cpp)
target_link_libraries(tst_wayland_viewer PRIVATE quorix_core quorix_imaging Qt6::Test)
add_dependencies(tst_wayland_viewer quorix-view)
quorix_add_wayland_test(tst_wayland_viewer COMMAND $<TARGET_FILE:tst_wayland_viewer>
  COPY $<TARGET_FILE:quorix-view>)
set_property(TEST tst_wayland_viewer PROPERTY ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# Quorix itself through XWayland: the screen and the desktop's window chooser through the
# portal, the clipboard from native Wayland programs; and the same without screen casting,
# and on a desktop that shares monitors only. XWayland's windows need the X11 back end.
if(NOT QUORIX_X11)
  return()
endif()
add_executable(tst_wayland_quorix wayland/tst_wayland_quorix.cpp)
target_link_libraries(tst_wayland_quorix PRIVATE quorix_app quorix_windowsystem_portal Qt6::Test)
target_include_directories(tst_wayland_quorix PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
quorix_add_wayland_test(tst_wayland_quorix COMMAND $<TARGET_FILE:tst_wayland_quorix>)
quorix_add_wayland_test(tst_wayland_quorix_monitors_only MONITORS_ONLY
  COMMAND $<TARGET_FILE:tst_wayland_quorix> anotherWindowTileSaysMonitorsOnly)
quorix_add_wayland_test(tst_wayland_quorix_no_portal NO_PORTAL
  COMMAND $<TARGET_FILE:tst_wayland_quorix> withoutScreenCastNothingIsWritten)
# A portal the session bus starts at the first call, slowly.
quorix_add_wayland_test(tst_wayland_quorix_late_portal LATE_PORTAL
  COMMAND $<TARGET_FILE:tst_wayland_quorix> aLatePortalFreezesNothing)
set_tests_properties(tst_wayland_quorix tst_wayland_quorix_monitors_only
  tst_wayland_quorix_no_portal tst_wayland_quorix_late_portal PROPERTIES
  ENVIRONMENT QT_QPA_PLATFORM=xcb)
