// A VelComn.dll that loads but exports nothing: the program must run without its entries.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
