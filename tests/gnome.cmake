# GNOME: a private headless GNOME Shell session with PipeWire, WirePlumber, the real
# xdg-desktop-portal front end and GNOME's own back end, whose dialog the tests answer
# through AT-SPI (tests/gnome/with-gnome.sh). One desktop at a time: the lock is the one
# the sway tests take. The sanitizer build leaves them out: their programs run as another
# user, from copies. A build without the portal back end has nothing to test here.
if(QUORIX_SANITIZE OR NOT QUORIX_PORTAL)
  return()
endif()

function(quorix_add_gnome_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "COMMAND;COPY" ${ARGN})
  set(flags)
  foreach(file ${T_COPY})
    list(APPEND flags --copy ${file})
  endforeach()
  add_test(NAME ${name}
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/gnome/with-gnome.sh ${flags} -- ${T_COMMAND})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 180)
  endif()
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 LABELS gnome
    RESOURCE_LOCK wayland-session TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=1;QT_ENABLE_HIGHDPI_SCALING=0")
  # The session stops the test itself a little before CTest would (CTest's SIGKILL leaves
  # the session's folder for the next start to sweep).
  math(EXPR budget "${T_TIMEOUT} - 25")
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT QUORIX_GNOME_BUDGET=${budget})
endfunction()

# Quorix itself through XWayland on GNOME.
add_executable(tst_gnome_quorix gnome/tst_gnome_quorix.cpp)
target_link_libraries(tst_gnome_quorix PRIVATE quorix_app quorix_windowsystem_portal Qt6::Test Qt6::DBus)
target_include_directories(tst_gnome_quorix PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(tst_gnome_quorix quorix-view)
quorix_add_gnome_test(tst_gnome_quorix COMMAND $<TARGET_FILE:tst_gnome_quorix>
  COPY $<TARGET_FILE:quorix-view>)
