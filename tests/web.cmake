# The room's web server: its pieces in-process, and quorix-serve with a real headless
# Chromium (Debian's chromium, chromium-driver, python3-selenium, python3-pil) and Firefox
# (firefox-esr, through Marionette), filled by
# Quorix's own writer. Everything talks to the loopback address only.
quorix_add_test(tst_webcontent SOURCES tst_webcontent.cpp LIBS quorix_web TIMEOUT 120)

add_executable(web_room_writer web/room_writer.cpp)
target_link_libraries(web_room_writer PRIVATE quorix_presenter quorix_core Qt6::Gui)

foreach(suite http browser nginx)
  add_test(NAME web_${suite}
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/web/${suite}_test.py)
  set_tests_properties(web_${suite} PROPERTIES LABELS web TIMEOUT 300 SKIP_RETURN_CODE 77 ENVIRONMENT
    "QUORIX_SERVE=$<TARGET_FILE:quorix-serve>;QUORIX_ROOM_WRITER=$<TARGET_FILE:web_room_writer>;QT_QPA_PLATFORM=offscreen;${QUORIX_SANITIZER_ENV}")
endforeach()
add_dependencies(web_room_writer quorix-serve)
