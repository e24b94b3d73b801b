# qel_program_resources(target DESCRIPTION text [MANIFEST]): gives a Windows program or library
# its version resource, made from the project's version, and with MANIFEST the application
# manifest of the product's programs (cmake/Application.manifest.in): run as the invoker, Common
# Controls 6, the supported systems, and no DPI awareness, as the windows are laid out in fixed
# pixels and the system scales them whole. QEL_MANIFEST_ARCH names the processor (x86, amd64).
set(QEL_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
string(REPLACE "." "," QEL_VERSION_COMMAS ${QEL_VERSION_QUAD})

function(qel_program_resources target)
  cmake_parse_arguments(R "MANIFEST" "DESCRIPTION" "" ${ARGN})
  get_target_property(type ${target} TYPE)
  get_target_property(QEL_PROGRAM ${target} OUTPUT_NAME)
  if(NOT QEL_PROGRAM)
    set(QEL_PROGRAM ${target})
  endif()
  if(type STREQUAL "EXECUTABLE")
    set(QEL_FILE_TYPE VFT_APP)
    set(QEL_FILE_NAME ${QEL_PROGRAM}.exe)
  else()
    set(QEL_FILE_TYPE VFT_DLL)
    set(QEL_FILE_NAME ${QEL_PROGRAM}.dll)
  endif()
  set(QEL_FILE_DESCRIPTION ${R_DESCRIPTION})
  set(QEL_MANIFEST_RESOURCE "")
  if(R_MANIFEST)
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/Application.manifest.in ${manifest} @ONLY)
    # Resource 1 of type 24: the manifest the system reads when it creates the process.
    set(QEL_MANIFEST_RESOURCE "1 24 \"${manifest}\"")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.resources.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/ProgramResources.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  if(R_MANIFEST)
    set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${manifest})
  endif()
endfunction()
