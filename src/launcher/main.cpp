#include <windows.h>
#include "launcher/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return launcherMain(instance);
}

#ifdef QUIB_OWN_ENTRY
// Where the program starts when it is linked without the C runtime's
// start-up code (-nostartfiles). The launcher reads no command line, has no
// static constructors or destructors and no exceptions, and never uses
// thread-local storage, so that code would only parse a command line and
// install handlers the launcher does not need. Nor is there a C library
// (src/launcher/runtime.cpp): a call into one fails to link. A global
// object with a constructor would need the start-up code back.
// This is the name the linker takes for the entry point of a GUI program.
extern "C"
#ifdef __i386__
__attribute__((force_align_arg_pointer))
#endif
void WinMainCRTStartup()
{
    ExitProcess(WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT));
}
#endif
