// The launcher allocates exactly one object with new. These definitions keep
// the C++ runtime's exception machinery out of the program: allocation
// failure is reported by a null pointer, never by a throw.
#include <new>
#include <stdlib.h>

void *operator new(size_t size, const std::nothrow_t &) noexcept
{
    return malloc(size ? size : 1);
}

void operator delete(void *block) noexcept
{
    free(block);
}

void operator delete(void *block, size_t) noexcept
{
    free(block);
}

// A pure virtual call can only be a bug; end the process rather than pull in
// the runtime's terminate handling.
extern "C" void __cxa_pure_virtual()
{
    abort();
}
