#include "keys/KeySetHost.h"

#include "win/WinApp.h"

KeySetHost& KeySetHost::Current() noexcept {
    // The application object is both our WinApp and the host: the one place where they meet.
    return dynamic_cast<KeySetHost&>(*WinApp::Current());
}
