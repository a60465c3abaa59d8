#pragma once
// What the program's windows need of the application object: the key-set table with its
// settings file, the program's directory and the default browser's icon. The application
// implements it; windows reach it through the current-application accessor, so that nothing
// below the application has to know the application's own class.
#include <windows.h>

#include "keys/KeySetTable.h"

class KeySetHost {
public:
    // The running application object.
    static KeySetHost& Current() noexcept;

    virtual KeySetTable& GetKeySetTable() noexcept = 0;
    // Rebuilds the table from the settings file: thirty records in every case.
    virtual int LoadSettings() = 0;
    // Writes the table to the settings file; false when it was not written.
    virtual bool SaveSettings() = 0;
    // After a save that failed: why, in words for the user (CP932).
    virtual const char* SaveFailure() const noexcept = 0;
    // While the settings dialog edits the table in place, the state before it opened is the
    // last one the user confirmed.
    virtual void KeepConfirmedKeySets() = 0;
    virtual void ForgetConfirmedKeySets() noexcept = 0;
    // The end of the Windows session: unconfirmed edits are dropped, the confirmed table is
    // saved once, and nothing is written after it.
    virtual void EndSession() = 0;

    virtual const char* AppDirectory() const noexcept = 0;
    virtual HICON GetBrowserIcon() const noexcept = 0;

protected:
    KeySetHost() = default;
    ~KeySetHost() = default;
    KeySetHost(const KeySetHost&) = default;
    KeySetHost& operator=(const KeySetHost&) = default;
};
