# Lays out the distribution from the built programs and the package's files:
#   setup.exe, setup.ini            the start menu and its configuration
#   Manual\                         the documents the menu's first button opens
#   Driver\                         the driver setup launchers, the wizard, its information file
#                                   and the driver, USB and port monitor files
#   Monitor\                        appsetup with its information files and the status monitor
# Run as: cmake -DBIN=<programs folder> -DSOURCE=<package folder> -DDIST=<output> -DARCH=<x86|x64>
#   -P this file.
# A built file that is missing (its area not part of this build) is left out and named.

function(place folder)
  file(MAKE_DIRECTORY ${DIST}/${folder})
  foreach(file IN LISTS ARGN)
    if(EXISTS ${file})
      file(COPY ${file} DESTINATION ${DIST}/${folder})
    else()
      get_filename_component(name ${file} NAME)
      message(STATUS "distribution: ${folder}/${name} not built, left out")
    endif()
  endforeach()
endfunction()

# Laid out afresh, so nothing a former build left there ships.
file(REMOVE_RECURSE ${DIST})
place(. ${BIN}/setup.exe ${SOURCE}/setup.ini)
place(Manual ${SOURCE}/License.txt)

place(Driver
  ${BIN}/Install.exe ${BIN}/Uninstall.exe ${BIN}/KVSETUPW.DLL ${BIN}/KVSETUPW64.DLL ${BIN}/KVSETUPW64.EXE
  ${BIN}/LMOSSUPW.DLL ${SOURCE}/KVSetup.ini ${SOURCE}/License.txt)
foreach(folder driver usb monitor)
  file(COPY ${SOURCE}/${folder} DESTINATION ${DIST}/Driver)
endforeach()
# The service programs the information file names for this build's architecture are the
# option-service stand-in under their names, so an installation from the package starts them.
if(ARCH AND EXISTS ${BIN}/option_service.exe)
  foreach(program driver/${ARCH}/TPX8OPT.EXE driver/${ARCH}/TPX8LMS.EXE monitor/${ARCH}/TPX8PMS.EXE)
    file(COPY_FILE ${BIN}/option_service.exe ${DIST}/Driver/${program})
  endforeach()
endif()

set(pictures LOGO.gif READY.gif RUN.gif ERROR.gif ANY.gif NONE.gif YMCKOP.gif YMCKOPK.gif BLACK.gif INKUNK.gif)
list(TRANSFORM pictures PREPEND ${BIN}/)
file(GLOB information_files ${SOURCE}/appsetup*.INF)
place(Monitor
  ${BIN}/appsetup.exe ${information_files} ${BIN}/TPX800StatusMonitor.exe ${pictures}
  ${BIN}/QLC07RT.dll ${BIN}/printers.ini)
