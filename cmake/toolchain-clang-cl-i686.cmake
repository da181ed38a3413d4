# Microsoft-style 32-bit build with LLVM's drop-in tools for cl, link and rc
# (Debian packages clang, clang-tools, lld and llvm; LLVM 14 or later).
# mingw-w64's headers and import libraries stand in for the Windows SDK;
# mingw-sdk-for-msvc.h makes up for what those headers expect of GCC. On
# Windows, Visual Studio's own cl, link and rc need no toolchain file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/llvm-tools.cmake)
quib_llvm_tool(CMAKE_C_COMPILER clang-cl)
set(CMAKE_CXX_COMPILER ${CMAKE_C_COMPILER})
set(CMAKE_C_COMPILER_TARGET i686-pc-windows-msvc)
set(CMAKE_CXX_COMPILER_TARGET i686-pc-windows-msvc)
quib_llvm_tool(CMAKE_RC_COMPILER llvm-rc)
quib_llvm_tool(CMAKE_LINKER lld-link)
quib_llvm_tool(CMAKE_AR llvm-lib)
quib_llvm_tool(CMAKE_MT llvm-mt)
# There is no Microsoft C runtime here to link a test program against.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(QUIB_MINGW_INCLUDE /usr/share/mingw-w64/include)
# GCC predefines _X86_, which the headers use to pick the architecture.
set(CMAKE_C_FLAGS_INIT "-imsvc ${QUIB_MINGW_INCLUDE} /D_X86_ /FI${CMAKE_CURRENT_LIST_DIR}/mingw-sdk-for-msvc.h")
set(CMAKE_CXX_FLAGS_INIT "${CMAKE_C_FLAGS_INIT}")
set(CMAKE_RC_FLAGS_INIT "/I ${QUIB_MINGW_INCLUDE}")

# mingw-w64 names an import library libNAME.a where the linker looks for
# NAME.lib; a folder of links gives each its Microsoft name. They carry no
# SafeSEH marking, which lld-link otherwise asks of every 32-bit object.
set(quib_import_libs ${CMAKE_BINARY_DIR}/mingw-import-libs)
file(MAKE_DIRECTORY ${quib_import_libs})
foreach(name kernel32 user32 gdi32 advapi32)
    file(CREATE_LINK /usr/i686-w64-mingw32/lib/lib${name}.a ${quib_import_libs}/${name}.lib SYMBOLIC)
endforeach()
set(CMAKE_EXE_LINKER_FLAGS_INIT "/LIBPATH:${quib_import_libs} /SAFESEH:NO")
