# JSON for Modern C++ (header-only, Debian's nlohmann-json3-dev), for the
# native and the MinGW build alike. /usr/include itself can't go on a MinGW
# include path (the host's C headers are there), so the cross build sees a
# folder that holds only a link to the library's headers.
find_path(VORN_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
if(NOT VORN_JSON_INCLUDE)
  message(FATAL_ERROR "nlohmann/json.hpp not found (apt-get install nlohmann-json3-dev)")
endif()
set(VORN_JSON_DIR ${CMAKE_BINARY_DIR}/third_party/json)
file(MAKE_DIRECTORY ${VORN_JSON_DIR})
if(NOT EXISTS ${VORN_JSON_DIR}/nlohmann)
  file(CREATE_LINK ${VORN_JSON_INCLUDE}/nlohmann ${VORN_JSON_DIR}/nlohmann SYMBOLIC)
endif()
add_library(vorn_json INTERFACE)
target_include_directories(vorn_json SYSTEM INTERFACE ${VORN_JSON_DIR})
