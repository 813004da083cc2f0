# What the two mingw-w64 toolchain files share: Debian's cross compilers for
# the CMAKE_SYSTEM_PROCESSOR they set (i686, x86_64), posix thread model (GCC
# 12 offers std::thread and std::mutex only there, and GoogleTest needs them).
set(CMAKE_SYSTEM_NAME Windows)
set(NW_MINGW_TRIPLET ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${NW_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NW_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${NW_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NW_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything the .exe needs beyond Windows' own DLLs is linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
