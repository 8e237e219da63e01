# TPX800StatusMonitor.exe: the window layer over status_monitor_core, with its resources and pictures.
include(${CMAKE_CURRENT_LIST_DIR}/pictures.cmake)

add_library(status_monitor_win STATIC
  ${CMAKE_SOURCE_DIR}/status_monitor/win/dpi.cpp
  ${CMAKE_SOURCE_DIR}/status_monitor/win/files.cpp
  ${CMAKE_SOURCE_DIR}/status_monitor/win/font_cache.cpp
  ${CMAKE_SOURCE_DIR}/status_monitor/win/kvcmd_library.cpp
  ${CMAKE_SOURCE_DIR}/status_monitor/win/main_window.cpp
  ${CMAKE_SOURCE_DIR}/status_monitor/win/picture_box.cpp
  ${CMAKE_SOURCE_DIR}/status_monitor/win/selector_controls.cpp
  ${CMAKE_SOURCE_DIR}/status_monitor/win/sub_form_window.cpp
  ${CMAKE_SOURCE_DIR}/status_monitor/win/tray_shell.cpp)
target_link_libraries(status_monitor_win PUBLIC status_monitor_core comctl32 gdiplus shell32)

add_executable(TPX800StatusMonitor WIN32
  ${CMAKE_SOURCE_DIR}/status_monitor/win/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/status_monitor.rc)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/status_monitor.rc PROPERTIES OBJECT_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/status_monitor.manifest)  # pulled in by the script, unseen by CMake's scanner
target_link_options(TPX800StatusMonitor PRIVATE -municode)
target_link_libraries(TPX800StatusMonitor PRIVATE status_monitor_win)
add_dependencies(TPX800StatusMonitor status_monitor_pictures)
