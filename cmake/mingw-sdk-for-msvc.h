/* Forced into every source of the Microsoft-style build by
   cmake/toolchain-clang-cl-i686.cmake, where mingw-w64's headers stand in
   for the Windows SDK. Those headers, compiled by clang-cl, place a
   __declspec after the declarator, where only a GNU attribute may stand,
   and expect a GCC-only macro for the body of MemoryBarrier. Nothing here
   concerns the program's own sources. */
#include <_mingw.h>

/* _mingw.h erases GNU attributes for any compiler but GCC; clang-cl
   understands them. */
#undef __attribute__

#undef __MINGW_ATTRIB_NORETURN
#define __MINGW_ATTRIB_NORETURN __attribute__((__noreturn__))
#undef __MINGW_ATTRIB_DEPRECATED
#define __MINGW_ATTRIB_DEPRECATED __attribute__((__deprecated__))

/* MemoryBarrier for CPUs without SSE2, as the Windows SDK writes it: a
   locked operation on a local. */
#define __buildmemorybarrier() { long barrier; _InterlockedOr(&barrier, 0); }
