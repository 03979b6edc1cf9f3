# KDE Plasma: KWin headless with XWayland, PipeWire, the real xdg-desktop-portal front end
# and KDE's own back end (tests/kde/with-kde.sh). Plasma is Qt 5: its packages are the list
# `kde` of tools/deps.sh, and these tests are configured only with -DQUORIX_KDE_TESTS=ON
# (tools/check.sh --kde), so that the default suite carries no second Qt. One desktop at a
# time, with the sway and GNOME tests.
option(QUORIX_KDE_TESTS "Test Quorix on a private KDE Plasma desktop (tools/deps.sh kde)" OFF)
if(NOT QUORIX_KDE_TESTS OR QUORIX_SANITIZE OR NOT QUORIX_PORTAL)
  return()
endif()
add_executable(tst_kde_quorix kde/tst_kde_quorix.cpp)
target_link_libraries(tst_kde_quorix PRIVATE quorix_app quorix_windowsystem_portal Qt6::Test)
target_include_directories(tst_kde_quorix PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_test(NAME tst_kde_quorix
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/kde/with-kde.sh -- $<TARGET_FILE:tst_kde_quorix>)
set_tests_properties(tst_kde_quorix PROPERTIES SKIP_RETURN_CODE 77 LABELS kde
  RESOURCE_LOCK wayland-session TIMEOUT 150
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=1;QT_ENABLE_HIGHDPI_SCALING=0;QUORIX_KDE_BUDGET=125")
