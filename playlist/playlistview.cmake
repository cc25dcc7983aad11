# The playlist panel, its workers and the open dialog.
add_library(tarrow_playlistview STATIC
    ${CMAKE_CURRENT_LIST_DIR}/playlistroles.h
    ${CMAKE_CURRENT_LIST_DIR}/stringlistpointer.h
    ${CMAKE_CURRENT_LIST_DIR}/videoselection.h
    ${CMAKE_CURRENT_LIST_DIR}/videoselection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/myfiledialog.h
    ${CMAKE_CURRENT_LIST_DIR}/myfiledialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/playlistpreparedata.h
    ${CMAKE_CURRENT_LIST_DIR}/playlistpreparedata.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vlcthumbnails.h
    ${CMAKE_CURRENT_LIST_DIR}/vlcthumbnails.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mysortfilterproxymodel.h
    ${CMAKE_CURRENT_LIST_DIR}/mysortfilterproxymodel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/centereditemdelegate.h
    ${CMAKE_CURRENT_LIST_DIR}/centereditemdelegate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/circleprogressbar.h
    ${CMAKE_CURRENT_LIST_DIR}/circleprogressbar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/playlistwgt.h
    ${CMAKE_CURRENT_LIST_DIR}/playlistwgt.cpp
)
target_include_directories(tarrow_playlistview PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tarrow_playlistview PUBLIC tarrow_playlist vireo tarrow_common Qt5::Widgets)
