# Windows on ARM64 with Debian's clang and the MinGW-w64 headers, for
# compiling the plug-in's objects only: no ARM64 Windows C++ runtime or
# import libraries are packaged here, so nothing is linked. The C and C++
# library headers are MinGW-w64's x86-64 ones, which hold nothing specific
# to the processor that the plug-in's sources reach.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET aarch64-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET aarch64-w64-mingw32)
set(CMAKE_AR llvm-ar)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
file(GLOB VEK_MINGW_CXX_HEADERS /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++)
list(GET VEK_MINGW_CXX_HEADERS 0 VEK_MINGW_CXX_HEADERS)
set(VEK_MINGW_HEADERS /usr/x86_64-w64-mingw32/include)
set(CMAKE_C_FLAGS_INIT "-isystem ${VEK_MINGW_HEADERS}")
set(CMAKE_CXX_FLAGS_INIT
    "-nostdinc++ -isystem ${VEK_MINGW_CXX_HEADERS} -isystem ${VEK_MINGW_CXX_HEADERS}/x86_64-w64-mingw32 -isystem ${VEK_MINGW_HEADERS}")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
