# The shipped program's sources built by LLVM in mingw mode: clang against
# mingw-w64's headers and libraries, linked by lld (Debian packages clang
# and lld; LLVM 14 or later). CMakeLists.txt gives lld its own way to put
# the resources on a page of the file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUIB_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/llvm-tools.cmake)
quib_llvm_tool(CMAKE_C_COMPILER clang)
quib_llvm_tool(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${QUIB_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${QUIB_TRIPLE})
# clang does not recognise Debian's "N-posix" folder of GCC's runtime
# libraries as a GCC installation; mingw-w64's GCC names it.
execute_process(COMMAND ${QUIB_TRIPLE}-gcc-posix -print-libgcc-file-name
    OUTPUT_VARIABLE quib_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(quib_gcc_libs "${quib_libgcc}" DIRECTORY)
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -fuse-ld=lld -L${quib_gcc_libs}")
string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -fuse-ld=lld -L${quib_gcc_libs}")
