# The shipped program's sources built by LLVM in mingw mode: clang against
# mingw-w64's headers and libraries, linked by lld (Debian packages clang-14
# and lld-14). CMakeLists.txt gives lld its own way to put the resources on
# a page of the file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUIB_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET ${QUIB_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${QUIB_TRIPLE})
# clang 14 does not recognise Debian's "12-posix" folder of GCC's runtime
# libraries as a GCC installation; it is named here.
set(quib_gcc_libs "-L/usr/lib/gcc/${QUIB_TRIPLE}/12-posix")
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -fuse-ld=lld ${quib_gcc_libs}")
string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -fuse-ld=lld ${quib_gcc_libs}")
