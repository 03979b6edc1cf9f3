# KDE Plasma: KWin headless with XWayland, PipeWire, the real xdg-desktop-portal front end
# and KDE's own back end (with-kde.sh). Plasma is Qt 5: its packages are the list `kde` of
# tools/deps.sh, and these tests are configured only with -DQUORIX_KDE_TESTS=ON
# (tools/check.sh --kde), so that the default suite carries no second Qt.

# The presenter's hand in KDE's dialogs: a Wayland client of KWin's fake-input protocol,
# its client code generated from the protocol's description in plasma-wayland-protocols.
enable_language(C)
find_package(PlasmaWaylandProtocols REQUIRED)
pkg_check_modules(KDE_WAYLAND REQUIRED IMPORTED_TARGET wayland-client wayland-scanner)
pkg_get_variable(KDE_WAYLAND_SCANNER wayland-scanner wayland_scanner)
set(fake_input_xml ${PLASMA_WAYLAND_PROTOCOLS_DIR}/fake-input.xml)
set(fake_input_out ${CMAKE_CURRENT_BINARY_DIR}/kde-protocols)
add_custom_command(
  OUTPUT ${fake_input_out}/fake-input-client-protocol.h ${fake_input_out}/fake-input-protocol.c
  COMMAND ${CMAKE_COMMAND} -E make_directory ${fake_input_out}
  COMMAND ${KDE_WAYLAND_SCANNER} client-header ${fake_input_xml}
          ${fake_input_out}/fake-input-client-protocol.h
  COMMAND ${KDE_WAYLAND_SCANNER} private-code ${fake_input_xml}
          ${fake_input_out}/fake-input-protocol.c
  DEPENDS ${fake_input_xml}
  VERBATIM)
add_executable(kde-pointer ${CMAKE_CURRENT_LIST_DIR}/kde_pointer.c
  ${fake_input_out}/fake-input-client-protocol.h ${fake_input_out}/fake-input-protocol.c)
target_include_directories(kde-pointer PRIVATE ${fake_input_out})
target_link_libraries(kde-pointer PRIVATE PkgConfig::KDE_WAYLAND)

add_executable(tst_kde_quorix ${CMAKE_CURRENT_LIST_DIR}/tst_kde_quorix.cpp)
target_link_libraries(tst_kde_quorix PRIVATE quorix_app quorix_windowsystem_portal
  quorix_testsupport Qt6::Test Qt6::DBus)
add_dependencies(tst_kde_quorix kde-pointer quorix-view)
add_test(NAME tst_kde_quorix
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/with-kde.sh --copy $<TARGET_FILE:kde-pointer>
                 --copy $<TARGET_FILE:quorix-view> -- $<TARGET_FILE:tst_kde_quorix>)
set_tests_properties(tst_kde_quorix PROPERTIES SKIP_RETURN_CODE 77 LABELS "desktops;kde"
  RESOURCE_LOCK wayland-session TIMEOUT 150
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=1;QT_ENABLE_HIGHDPI_SCALING=0;QUORIX_KDE_BUDGET=125")
