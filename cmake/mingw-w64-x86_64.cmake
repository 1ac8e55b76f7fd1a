# Cross build for 64-bit Windows with Debian's mingw-w64. The -posix compilers carry
# std::thread and std::mutex (winpthreads); the default -win32 ones do not. Programs link
# statically, so an .exe needs no DLL beyond Windows' own. Tests run through wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# quirk: Debian's wine wrapper warns about a missing 32-bit wine on every start; wine64 alone
# runs the 64-bit programs this build makes.
find_program(QVL_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(QVL_WINE64 NAMES wine64 wine)
if(QVL_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QVL_WINE64})
endif()
