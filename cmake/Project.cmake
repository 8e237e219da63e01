# Compiler settings shared by every target.
add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
# GCC 12 reports std::string concatenation falsely (its bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()

if(WIN32)
  # The Windows programs build without a single warning on both MinGW targets.
  add_compile_options(-Werror)
  # Windows programs: Unicode API, no MinGW runtime DLLs beside ours.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(HOST_ARCH 64)
  else()
    set(HOST_ARCH 32)
  endif()
else()
  option(ENABLE_SANITIZERS "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
  if(ENABLE_SANITIZERS)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

# A DLL whose exports are __stdcall functions with undecorated names, listed in a .def file.
function(add_stdcall_dll target def_file)
  add_library(${target} SHARED ${ARGN})
  set_target_properties(${target} PROPERTIES PREFIX "")
  target_sources(${target} PRIVATE ${def_file})
  target_link_options(${target} PRIVATE -Wl,--enable-stdcall-fixup -Wl,--kill-at)
endfunction()

# Compiles a UTF-8 resource script with windres (code page 65001, the script's folder on the
# include path) into an object file whose path `out` receives. DEPENDS names what the script pulls
# in (dialogs, string tables, manifests, icons), which CMake's own scanner does not see.
function(compile_utf8_resources out rc_file)
  cmake_parse_arguments(R "" "" "DEPENDS" ${ARGN})
  get_filename_component(dir ${rc_file} DIRECTORY)
  get_filename_component(name ${rc_file} NAME_WE)
  set(object ${CMAKE_CURRENT_BINARY_DIR}/${name}.res.o)
  add_custom_command(
    OUTPUT ${object}
    COMMAND ${CMAKE_RC_COMPILER} -c 65001 -I ${dir} -i ${rc_file} -o ${object}
    DEPENDS ${rc_file} ${R_DEPENDS}
    VERBATIM)
  set(${out} ${object} PARENT_SCOPE)
endfunction()

# Copies a file into the folder of the Windows programs at build time.
function(copy_beside_programs target)
  foreach(file IN LISTS ARGN)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${CMAKE_BINARY_DIR}/bin/)
  endforeach()
endfunction()

# AREAS limits a build to some areas while others are being worked on, e.g.
# -DAREAS="common;setup_wizard;support_library". Empty builds everything.
set(AREAS "" CACHE STRING "Folders to build (deliverables, stand-ins, test areas); empty for all")

function(area_enabled name out)
  if(AREAS STREQUAL "" OR name IN_LIST AREAS)
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Adds every immediate subfolder of `dir` that has a CMakeLists.txt and is an enabled area,
# so areas are added without editing a shared list.
function(add_subdirectories_with_lists dir)
  file(GLOB children LIST_DIRECTORIES true "${dir}/*")
  list(SORT children)
  foreach(child IN LISTS children)
    get_filename_component(name ${child} NAME)
    area_enabled(${name} enabled)
    if(enabled AND IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
