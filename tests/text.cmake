# The text source: the font box, the editor and the text page.
quorix_add_test(tst_fontcombobox SOURCES tst_fontcombobox.cpp LIBS quorix_text)
quorix_add_test(tst_texteditor SOURCES tst_texteditor.cpp LIBS quorix_text)
quorix_add_test(tst_textpage SOURCES tst_textpage.cpp LIBS quorix_app TIMEOUT 240)
# The editor as a presenter drives it, with xdotool and a real xterm under Xvfb + openbox.
quorix_add_test(tst_x11_texteditor SOURCES tst_x11_texteditor.cpp
  LIBS quorix_text quorix_testhelpers X11 TIMEOUT 240)
