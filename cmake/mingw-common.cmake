# Shared part of the mingw-w64 toolchain files; they set TELVARA_MINGW_TRIPLET first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)  # Windows 7 API level: nothing newer is called
if(TELVARA_MINGW_TRIPLET MATCHES "^x86_64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

# The posix thread model: its libstdc++ has std::mutex and std::thread, which
# GoogleTest needs; winpthread is linked in statically like the rest.
set(CMAKE_C_COMPILER ${TELVARA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TELVARA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TELVARA_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TELVARA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The .exe must start on a bare Windows: the C and C++ runtimes are linked in,
# so it needs nothing beyond the system's own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

