# The private Wayland desktops the whole-program tests (and the portal's own test) run in.
# Each test starts a whole desktop of its own, as a throwaway user from copies in /tmp;
# they run one at a time (RESOURCE_LOCK), so that two desktops never compete for the
# machine's two cores. The sanitizer build leaves them out (their programs run as another
# user, from copies), and a build without the portal back end has nothing to test there.
if(QUORIX_SANITIZE OR NOT QUORIX_PORTAL)
  return()
endif()

# sway: headless, with PipeWire, WirePlumber and the real xdg-desktop-portal front end,
# whose screen-cast back end is the program below (sway/with-sway.sh).
pkg_check_modules(PIPEWIRE_TEST REQUIRED IMPORTED_TARGET libpipewire-0.3)
set(sway_dir ${CMAKE_CURRENT_LIST_DIR}/sway)
add_executable(quorix-screencast-backend
  ${sway_dir}/backend/main.cpp ${sway_dir}/backend/VideoSource.cpp ${sway_dir}/backend/VideoSource.h)
target_link_libraries(quorix-screencast-backend PRIVATE Qt6::DBus Qt6::Gui PkgConfig::PIPEWIRE_TEST)
# libpipewire's headers are C and use designated initialisers and zero-size arrays.
target_compile_options(quorix-screencast-backend PRIVATE -Wno-pedantic -Wno-missing-field-initializers)

# Runs a test inside the sway session.
#   quorix_add_wayland_test(NAME [NO_PORTAL] [MONITORS_ONLY] [LATE_PORTAL] [TIMEOUT s]
#                           COMMAND ... [COPY file ...])
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
           COMMAND ${QUORIX_TESTS_DIR}/desktops/sway/with-sway.sh ${flags}
                   --copy $<TARGET_FILE:quorix-screencast-backend> -- ${T_COMMAND})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 180)
  endif()
  quorix_test_folder(folder)
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 LABELS "${folder};wayland"
    RESOURCE_LOCK wayland-session TIMEOUT ${T_TIMEOUT})
endfunction()

# GNOME: GNOME Shell headless with the real xdg-desktop-portal-gnome, whose dialog the tests
# answer through AT-SPI (gnome/with-gnome.sh, gnome/consent.py).
#   quorix_add_gnome_test(NAME COMMAND ... [COPY file ...] [TIMEOUT s])
function(quorix_add_gnome_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "COMMAND;COPY" ${ARGN})
  set(flags)
  foreach(file ${T_COPY})
    list(APPEND flags --copy ${file})
  endforeach()
  add_test(NAME ${name}
           COMMAND ${QUORIX_TESTS_DIR}/desktops/gnome/with-gnome.sh ${flags} -- ${T_COMMAND})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 180)
  endif()
  quorix_test_folder(folder)
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 LABELS "${folder};gnome"
    RESOURCE_LOCK wayland-session TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=1;QT_ENABLE_HIGHDPI_SCALING=0")
  # The session stops the test itself a little before CTest would (CTest's SIGKILL leaves
  # the session's folder for the next start to sweep).
  math(EXPR budget "${T_TIMEOUT} - 25")
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT QUORIX_GNOME_BUDGET=${budget})
endfunction()
