# Cross-building the Windows programs on Debian with mingw-w64 (package
# g++-mingw-w64-x86-64-posix): posix threads for std::thread and std::mutex, a static
# runtime so each .exe is one file that needs no DLL but Windows' own, and the standard
# printf family (three-digit exponents otherwise).
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

# Eigen is headers only: Debian's copy serves the Windows build as it is.
if(EXISTS /usr/share/eigen3/cmake/Eigen3Config.cmake)
  set(Eigen3_DIR /usr/share/eigen3/cmake CACHE PATH "Eigen 3 for the Windows build")
endif()

add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests run under Wine (see tools/wine-test.sh).
find_program(CORELITH_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(CORELITH_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CORELITH_WINE})
endif()
