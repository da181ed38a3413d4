// The launcher has no C runtime. msvcrt.dll, the C library of later
// Windows versions, is not part of Windows 95 as first sold (it came with
// Visual C++ 4.2, in 1996), and a program that imports it does not start
// on such a system. Nor does the launcher need one: it starts at its own
// entry point (src/launcher/main.cpp), allocates from the process heap,
// measures strings with lstrlenA and ends with ExitProcess. It is linked
// with no default libraries (-nodefaultlibs, /NODEFAULTLIB), so that a
// call into a C library fails to link.
//
// What remains are memcpy and memset, which compilers call on their own
// for block copies and clears, and which the launcher's code calls too.
// They are here, built into the program only: the unit tests link the same
// code with their C runtime's. A plain loop would not do: the compiler may
// recognise it as a copy or a clear and turn it into a call of the very
// function it is in. The string instructions (rep movsb, rep stosb) cannot
// be turned into anything else; cl reaches them through its intrinsics,
// GCC and clang through inline assembly (clang-cl's <intrin.h> clashes
// with mingw-w64's headers, which stand in for the Windows SDK there).
#include <stddef.h>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
// cl treats both as intrinsics when optimising for speed; this makes the
// definitions below the functions it calls.
#pragma function(memcpy, memset)
#endif

extern "C" void *__cdecl memcpy(void *dst, const void *src, size_t count)
{
#if defined(_MSC_VER) && !defined(__clang__)
    __movsb(static_cast<unsigned char *>(dst), static_cast<const unsigned char *>(src), count);
#else
    void *to = dst;
    __asm__ __volatile__("rep movsb" : "+D"(to), "+S"(src), "+c"(count) : : "memory");
#endif
    return dst;
}

extern "C" void *__cdecl memset(void *dst, int value, size_t count)
{
#if defined(_MSC_VER) && !defined(__clang__)
    __stosb(static_cast<unsigned char *>(dst), static_cast<unsigned char>(value), count);
#else
    void *to = dst;
    __asm__ __volatile__("rep stosb" : "+D"(to), "+c"(count) : "a"(value) : "memory");
#endif
    return dst;
}
