# The writer and the viewer through a real SMB share (smbd + two smbnetfs mounts). Port
# 445 is one per machine, so these take turns; the sanitizer build leaves them out (smbd's
# and FUSE's timing under ASan says nothing about ours).
add_library(quorix_sambashare STATIC helpers/SambaShare.cpp helpers/SambaShare.h)
target_include_directories(quorix_sambashare PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorix_sambashare PUBLIC Qt6::Core)
if(NOT QUORIX_SANITIZE)
  quorix_add_test(tst_smb_share SOURCES tst_smb_share.cpp
                  LIBS quorix_view quorix_presenter quorix_core quorix_sambashare TIMEOUT 180)
  set_tests_properties(tst_smb_share PROPERTIES RESOURCE_LOCK smb_port_445 SKIP_RETURN_CODE 77)
endif()
