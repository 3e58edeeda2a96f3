# A second compiler for the same Windows target and headers: Debian's clang with
# MinGW-w64's headers and libstdc++. ./dev test builds the product library with it,
# warnings as errors, so constructs that only GCC accepts are caught here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(OVRA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${OVRA_MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${OVRA_MINGW_TRIPLE})
set(CMAKE_RC_COMPILER ${OVRA_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${OVRA_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${OVRA_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")
# Only libraries are built: the compiler checks need no linker.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# clang does not find Debian's versioned MinGW libstdc++ folder by itself.
file(GLOB OVRA_MINGW_CXX_INCLUDE LIST_DIRECTORIES true /usr/lib/gcc/${OVRA_MINGW_TRIPLE}/*-posix/include/c++)
list(GET OVRA_MINGW_CXX_INCLUDE 0 OVRA_MINGW_CXX_INCLUDE)
# -Wpedantic: GNU extensions (?: without a middle, zero-length arrays, ...) fail too.
string(JOIN " " CMAKE_CXX_FLAGS_INIT -nostdinc++ -Wpedantic
  -isystem ${OVRA_MINGW_CXX_INCLUDE}
  -isystem ${OVRA_MINGW_CXX_INCLUDE}/${OVRA_MINGW_TRIPLE}
  -isystem ${OVRA_MINGW_CXX_INCLUDE}/backward)

set(CMAKE_FIND_ROOT_PATH /usr/${OVRA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
