# Cross toolchain: 64-bit Windows, the test build on machines whose kernel runs no 32-bit code.
set(QEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
