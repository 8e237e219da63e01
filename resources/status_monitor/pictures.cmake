# The status monitor's pictures, drawn at build time into the programs' folder.
# Include from any folder that needs them and depend on the target status_monitor_pictures;
# STATUS_MONITOR_PICTURES lists the files made.
set(STATUS_MONITOR_PICTURE_NAMES
  LOGO.gif READY.gif RUN.gif ERROR.gif ANY.gif NONE.gif YMCKOP.gif YMCKOPK.gif BLACK.gif INKUNK.gif)
set(STATUS_MONITOR_PICTURES ${STATUS_MONITOR_PICTURE_NAMES})
list(TRANSFORM STATUS_MONITOR_PICTURES PREPEND ${CMAKE_BINARY_DIR}/bin/)

if(NOT TARGET status_monitor_pictures)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(_make_pictures ${CMAKE_CURRENT_LIST_DIR}/make_pictures.py)
  add_custom_command(
    OUTPUT ${STATUS_MONITOR_PICTURES}
    COMMAND Python3::Interpreter ${_make_pictures} ${CMAKE_BINARY_DIR}/bin
    DEPENDS ${_make_pictures}
    COMMENT "Drawing the status monitor's pictures"
    VERBATIM)
  add_custom_target(status_monitor_pictures ALL DEPENDS ${STATUS_MONITOR_PICTURES})
endif()
