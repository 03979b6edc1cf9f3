# The installed program: its icon, desktop entry, AppStream metadata, manual page, an
# install into a temporary prefix that is started and configured like a first run, and
# the .deb. The package checks run on the plain build only (a sanitized program is not
# what gets installed).
quorix_add_test(tst_icon SOURCES tst_icon.cpp LIBS quorix_app quorix_iconrender)
target_compile_definitions(tst_icon PRIVATE
  QUORIX_ICON_SVG="${PROJECT_SOURCE_DIR}/packaging/icons/si.ombrak.Quorix.svg")

if(NOT QUORIX_SANITIZE)
  set(pkg_env "LC_ALL=C.UTF-8;QUORIX_SOURCE_DIR=${PROJECT_SOURCE_DIR};QUORIX_BUILD_DIR=${CMAKE_BINARY_DIR}")
  add_test(NAME packaging_metadata COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/packaging/metadata.sh)
  add_test(NAME packaging_install
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/with-xvfb.sh
                   ${CMAKE_CURRENT_SOURCE_DIR}/packaging/install-run.sh)
  add_test(NAME packaging_deb COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/packaging/deb.sh)
  set_tests_properties(packaging_metadata packaging_install packaging_deb PROPERTIES
    ENVIRONMENT "${pkg_env}" SKIP_RETURN_CODE 77 LABELS packaging TIMEOUT 120)
  set_tests_properties(packaging_install PROPERTIES LABELS "packaging;x11")
  # Both install from the same build folder (cmake --install, cpack): one at a time.
  set_tests_properties(packaging_install packaging_deb PROPERTIES RESOURCE_LOCK build_install)
endif()
