# CMake package of the Vorn camera control library (vorn_uvc).
#
#   find_package(vorn_uvc 1.0 CONFIG REQUIRED)
#   target_link_libraries(my_program PRIVATE vorn_uvc::vorn_uvc)
#
# with CMAKE_PREFIX_PATH (or vorn_uvc_DIR) naming the sdk folder. The
# imported target carries the include folder, the DLL as its location and
# the import library for the compiler in use: vorn_uvc.lib for Microsoft's
# linker (Visual Studio, clang-cl), libvorn_uvc.dll.a for MinGW.
# The library is 32-bit: with Visual Studio, configure with -A Win32.

cmake_minimum_required(VERSION 3.5)

get_filename_component(_vorn_uvc_sdk "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)

set(_vorn_uvc_msvc FALSE)
if(MSVC)
  set(_vorn_uvc_msvc TRUE)
endif()
foreach(_vorn_uvc_lang C CXX)
  if(CMAKE_${_vorn_uvc_lang}_COMPILER_ID STREQUAL "MSVC" OR CMAKE_${_vorn_uvc_lang}_SIMULATE_ID STREQUAL "MSVC")
    set(_vorn_uvc_msvc TRUE)
  endif()
endforeach()
if(_vorn_uvc_msvc)
  set(_vorn_uvc_implib "${_vorn_uvc_sdk}/lib/vorn_uvc.lib")
else()
  set(_vorn_uvc_implib "${_vorn_uvc_sdk}/lib/libvorn_uvc.dll.a")
endif()

foreach(_vorn_uvc_file "${_vorn_uvc_sdk}/include/vorn_uvc.h" "${_vorn_uvc_sdk}/bin/vorn_uvc.dll" "${_vorn_uvc_implib}")
  if(NOT EXISTS "${_vorn_uvc_file}")
    set(vorn_uvc_FOUND FALSE)
    set(vorn_uvc_NOT_FOUND_MESSAGE "${_vorn_uvc_file} is missing: the vorn_uvc SDK in ${_vorn_uvc_sdk} is incomplete")
    return()
  endif()
endforeach()

if(NOT TARGET vorn_uvc::vorn_uvc)
  add_library(vorn_uvc::vorn_uvc SHARED IMPORTED)
  set_target_properties(vorn_uvc::vorn_uvc PROPERTIES
    IMPORTED_LOCATION "${_vorn_uvc_sdk}/bin/vorn_uvc.dll"
    IMPORTED_IMPLIB "${_vorn_uvc_implib}"
    INTERFACE_INCLUDE_DIRECTORIES "${_vorn_uvc_sdk}/include")
endif()

unset(_vorn_uvc_sdk)
unset(_vorn_uvc_msvc)
unset(_vorn_uvc_lang)
unset(_vorn_uvc_implib)
unset(_vorn_uvc_file)
