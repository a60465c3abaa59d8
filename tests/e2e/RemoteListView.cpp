#include "RemoteListView.h"

#include <commctrl.h>

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
    auto* remote = static_cast<char*>(::VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kTextSize,
                                                       MEM_COMMIT, PAGE_READWRITE));
    std::string text;
    if (remote) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = column;
        item.pszText = remote + sizeof(LVITEMA);
        item.cchTextMax = kTextSize;
        ::WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
        char buffer[kTextSize] = {};
        ::ReadProcessMemory(process, remote + sizeof(LVITEMA), buffer, kTextSize - 1, nullptr);
        text = buffer;
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    return text;
}
