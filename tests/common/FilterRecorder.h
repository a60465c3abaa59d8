#pragma once
// Stands in for ChangeWindowMessageFilterEx (Wine has no integrity levels): records which
// messages each window was told to admit.
#include <windows.h>

#include <map>
#include <set>

struct FilterRecorder {
    static std::map<HWND, std::set<UINT>>& Admitted() {
        static std::map<HWND, std::set<UINT>> admitted;
        return admitted;
    }
    static BOOL WINAPI Allow(HWND window, UINT message, DWORD action, void*) {
        if (action == 1 /* MSGFLT_ALLOW */) Admitted()[window].insert(message);
        return TRUE;
    }
    static bool AdmitsDrops(HWND window) {
        return Admitted()[window] == std::set<UINT>{WM_DROPFILES, WM_COPYDATA, 0x0049};
    }
};
