#include "RemoteListView.h"

#include <commctrl.h>

#include "WindowQuery.h"

int RemoteListViewRowCount(HWND list) {
    return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string RemoteListViewText(HWND list, int row, int column) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                   FALSE, pid);
    if (!process) return {};
    constexpr SIZE_T kTextSize = 2048;
    auto* remote = static_cast<char*>(::VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kTextSize * sizeof(wchar_t),
                                                       MEM_COMMIT, PAGE_READWRITE));
    std::string text;
    if (remote) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        item.cchTextMax = kTextSize;
        ::WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
        wchar_t buffer[kTextSize] = {};
        ::ReadProcessMemory(process, remote + sizeof(LVITEMW), buffer, (kTextSize - 1) * sizeof(wchar_t), nullptr);
        text = Cp932OfWide(buffer);
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    return text;
}
