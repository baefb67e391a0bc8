# Cross-compiling for Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64, g++-mingw-w64-i686).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake [-DFENDAL_MINGW_ARCH=i686]
# The posix thread flavour of the compilers: std::thread and std::mutex need it in GCC 12.
set(CMAKE_SYSTEM_NAME Windows)
set(FENDAL_MINGW_ARCH x86_64 CACHE STRING "Target processor: x86_64 or i686")
set_property(CACHE FENDAL_MINGW_ARCH PROPERTY STRINGS x86_64 i686)
set(CMAKE_SYSTEM_PROCESSOR ${FENDAL_MINGW_ARCH})
set(triple ${FENDAL_MINGW_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_OBJDUMP ${triple}-objdump)
set(CMAKE_DLLTOOL ${triple}-dlltool)

# Libraries and headers come from the MinGW tree only, never from the build machine's /usr.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} /usr/${triple}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# The programs start on a bare Windows: the compiler's runtime is linked in, not a DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# The 64-bit programs run under Wine (wine64) for their tests.
if(FENDAL_MINGW_ARCH STREQUAL "x86_64")
  find_program(FENDAL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  if(FENDAL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${FENDAL_WINE})
  endif()
endif()
