# Cross-compiles the Windows build with Debian's mingw-w64 (64-bit) and runs
# what it builds under Wine:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TUNNEL_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix thread model: GoogleTest needs std::mutex, which GCC 12 has only
# there. Linked statically, its winpthread runtime adds no DLL.
set(CMAKE_C_COMPILER ${TUNNEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TUNNEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TUNNEL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TUNNEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every executable carries its own C and C++ runtime, so it needs nothing
# beyond Windows itself (and Wine needs no DLL search path for the tests).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest runs the tests, and GoogleTest's discovery lists them, through Wine.
# WINEPREFIX comes from the caller's environment (scripts/test-windows keeps
# one inside the build folder). The overrides stop a fresh prefix from
# offering to install Mono and Gecko, which nothing here uses.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= wine)
