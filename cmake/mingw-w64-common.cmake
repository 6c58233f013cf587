# Shared part of the MinGW-w64 toolchain files; the including file sets
# VSS_MINGW_TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32) first.
#
# The -posix thread model: the handler is single-threaded, but some tests run
# a writer or reader thread with std::thread, which GCC 12's -win32 model does
# not provide. Linking statically (-static) puts the C++ runtime, libgcc and
# winpthreads into the .exe, so it imports only Windows' own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VSS_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VSS_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VSS_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VSS_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages such as the cross-built Xerces-C live in their own prefix outside
# the compiler's root.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
