#include <windows.h>

#include "app/LinkKeysApp.h"

// The program's one application object, constructed before WinMain runs.
LinkKeysApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return theApp.Run(instance);
}

#if defined(__GLIBCXX__) && defined(__MINGW32__)
#include <cstdlib>

// The C++ library's default terminate handler prints the uncaught exception's demangled type
// to stderr, which a program without a console never shows; it brings the demangler and printf
// into the program. Ours ends the program the same way, without them.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
