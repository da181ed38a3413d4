// The launcher allocates exactly one object with new, a Title, through the
// class's own operators. They keep the C++ runtime's exception machinery out
// of the program: allocation failure is reported by a null pointer, never by
// a throw.
#include <stdlib.h>
#include "titles/title.h"

void *Title::operator new(size_t size) noexcept
{
    return malloc(size);
}

void Title::operator delete(void *block) noexcept
{
    free(block);
}

// A pure virtual call can only be a bug; end the process rather than pull in
// the runtime's terminate handling. The compiler calls this hook by the
// name its C++ ABI gives it: _purecall in Microsoft's, __cxa_pure_virtual
// in the one GCC and mingw clang use.
#ifdef _MSC_VER
extern "C" int __cdecl _purecall()
{
    abort();
}
#else
extern "C" void __cxa_pure_virtual()
{
    abort();
}
#endif
