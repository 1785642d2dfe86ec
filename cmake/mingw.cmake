# Windows with the MinGW-w64 posix-thread compilers (std::thread, std::mutex)
# of the triplet VORN_MINGW_TRIPLET; programs run under Wine. Included by the
# toolchain files of the two processors.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VORN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VORN_MINGW_TRIPLET}-windres)
set(CMAKE_DLLTOOL ${VORN_MINGW_TRIPLET}-dlltool)
set(CMAKE_FIND_ROOT_PATH /usr/${VORN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest starts every Windows test program through this script, which keeps a
# Wine prefix of the program's processor inside the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh")
