// The launcher allocates exactly one object with new, a Title, through the
// class's own operators. They keep the C++ runtime's exception machinery out
// of the program: allocation failure is reported by a null pointer, never by
// a throw. The block comes from the process heap, as everything the launcher
// allocates itself: the program has no C library (src/launcher/runtime.cpp).
#include "titles/title.h"

void *Title::operator new(size_t size) noexcept
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void Title::operator delete(void *block) noexcept
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

// A pure virtual call can only be a bug; end the process, with the exit code
// of the C library's abort, rather than pull in the runtime's terminate
// handling. The compiler calls this hook by the name its C++ ABI gives it:
// _purecall in Microsoft's, __cxa_pure_virtual in the one GCC and mingw
// clang use.
#ifdef _MSC_VER
extern "C" int __cdecl _purecall()
{
    ExitProcess(3);
}
#else
extern "C" void __cxa_pure_virtual()
{
    ExitProcess(3);
}
#endif
