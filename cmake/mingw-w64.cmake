# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GIRONARIO_MINGW_PREFIX x86_64-w64-mingw32)
# The win32 thread model: the program has no threads, and it needs no winpthread runtime.
find_program(CMAKE_CXX_COMPILER NAMES ${GIRONARIO_MINGW_PREFIX}-g++-win32 ${GIRONARIO_MINGW_PREFIX}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${GIRONARIO_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${GIRONARIO_MINGW_PREFIX})

# Programs come from the build machine; headers and libraries only from the Windows sysroot.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One gironario.exe that runs without the compiler's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# MinGW-w64's g++ 12 warns of overlapping copies, wrongly, in "literal" + std::string (GCC bug
# 105329), which warnings-as-errors would stop the build on.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
