#include <windows.h>

#include "app/LinkKeysApp.h"

// The program's one application object, constructed before WinMain runs.
LinkKeysApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return theApp.Run(instance);
}
