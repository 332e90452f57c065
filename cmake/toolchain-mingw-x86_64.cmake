# Cross build for 64-bit Windows. It ships nothing: it exists so that the Windows tests can run
# under 64-bit Wine on hosts that cannot execute 32-bit Linux programs (and so no 32-bit Wine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
