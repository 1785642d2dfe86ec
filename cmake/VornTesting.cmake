# GoogleTest from the Debian sources, built for whichever toolchain is in use.
if(VORN_BUILD_TESTS)
  enable_testing()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  if(EXISTS /usr/src/googletest/CMakeLists.txt)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  else()
    message(FATAL_ERROR "googletest sources not found in /usr/src/googletest (apt-get install googletest)")
  endif()
  include(GoogleTest)
endif()

# vorn_add_test(NAME name SOURCES ... [LIBS ...] [TIMEOUT seconds] [GUI])
# Natively every test case becomes its own ctest entry; under Wine one ctest
# entry runs the whole program, since each Wine start costs about a second.
# GUI tests need an X display and are only built for Windows.
function(vorn_add_test)
  cmake_parse_arguments(T "GUI" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  # Under Wine one entry is a whole program, and a loaded machine can take
  # many times its usual time to start Wine.
  if(NOT T_TIMEOUT)
    if(WIN32)
      set(T_TIMEOUT 300)
    else()
      set(T_TIMEOUT 120)
    endif()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  target_compile_options(${T_NAME} PRIVATE ${VORN_WARNINGS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  if(WIN32)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(T_GUI)
      # GUI tests share one X display and its focus: never two at once.
      set_tests_properties(${T_NAME} PROPERTIES LABELS gui RESOURCE_LOCK x_display)
    endif()
  else()
    gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()
