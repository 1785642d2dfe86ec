# 64-bit Windows: the same sources as the shipped 32-bit build, for testing
# under a 64-bit Wine on machines that run no 32-bit x86 code
# (tools/wine-arch.sh). Never shipped.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VORN_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
