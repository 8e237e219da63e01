# Lays out the distribution from the built programs and the package's files:
#   setup.exe, setup.ini            the start menu and its configuration
#   Manual\                         the documents the menu's first button opens
#   Driver\                         the driver setup launchers, the wizard, its information file
#                                   and the driver, USB and port monitor files; for 64-bit Windows
#                                   the wizard host, the 64-bit wizard and its support library
#   Monitor\                        appsetup with its information files and the status monitor
# Run as: cmake -DBIN=<programs folder> [-DBIN64=<64-bit programs folder>] -DSOURCE=<package folder>
#   -DDIST=<output> -P this file.
# The package ships as 32-bit programs (BIN of a 32-bit build) with the 64-bit wizard host path
# taken from BIN64 (a 64-bit build); without BIN64 everything comes from BIN, as for one build's tests.
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

if(NOT BIN64)
  set(BIN64 ${BIN})
endif()
place(Driver
  ${BIN}/Install.exe ${BIN}/Uninstall.exe ${BIN}/KVSETUPW.DLL ${BIN}/LMOSSUPW.DLL
  ${BIN64}/KVSETUPW64.EXE ${BIN64}/KVSETUPW64.DLL ${BIN64}/LMOSSUPW64.DLL
  ${SOURCE}/KVSetup.ini ${SOURCE}/License.txt)
foreach(folder driver usb monitor)
  file(COPY ${SOURCE}/${folder} DESTINATION ${DIST}/Driver)
endforeach()
# The service programs the information file names, for both architectures, are the option-service
# stand-in under their names, so an installation from the package starts them. The stand-in only
# registers itself with the support library it is pointed at, one of BIN's bitness.
if(EXISTS ${BIN}/option_service.exe)
  foreach(arch x86 x64)
    foreach(program driver/${arch}/TPX8OPT.EXE driver/${arch}/TPX8LMS.EXE monitor/${arch}/TPX8PMS.EXE)
      file(COPY_FILE ${BIN}/option_service.exe ${DIST}/Driver/${program})
    endforeach()
  endforeach()
endif()

set(pictures LOGO.gif READY.gif RUN.gif ERROR.gif ANY.gif NONE.gif YMCKOP.gif YMCKOPK.gif BLACK.gif INKUNK.gif)
list(TRANSFORM pictures PREPEND ${BIN}/)
file(GLOB information_files ${SOURCE}/appsetup*.INF)
place(Monitor
  ${BIN}/appsetup.exe ${information_files} ${BIN}/TPX800StatusMonitor.exe ${pictures}
  ${BIN}/QLC07RT.dll ${BIN}/printers.ini)
