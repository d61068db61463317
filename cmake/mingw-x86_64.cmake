# The same sources for 64-bit Windows: only for running the tests on machines whose
# kernel does not run 32-bit code (and so cannot run 32-bit Wine).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
