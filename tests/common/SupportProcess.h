#pragma once
// One started copy of a support program (a fake browser): copied into a scratch directory
// of its own, where it keeps its log, started there with a Unicode command line, found by
// its window, and asked to end (or ended) when the test is over.
#include <windows.h>

#include <optional>
#include <string>

#include "common/FileText.h"
#include "common/ScratchDirectory.h"
#include "common/SupportProgram.h"
#include "win/UniqueHandle.h"

inline std::wstring WideFromAnsi(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                             wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return wide;
}

class SupportProcess {
public:
    // fileName: the support program; title: its window's title, which tells that it is ready.
    SupportProcess(const char* fileName, const char* title, const std::wstring& arguments)
        : m_dir(title), m_title(title) {
        const std::string source = SupportProgramPath(fileName);
        if (source.empty() || !m_dir.CopyIn(source, fileName)) return;
        const std::wstring exe = WideFromAnsi(m_dir.File(fileName));
        std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
        const std::wstring directory = WideFromAnsi(m_dir.Path());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              directory.c_str(), &startup, &info))
            return;
        ::CloseHandle(info.hThread);
        m_hProcess.Reset(info.hProcess);
        const DWORD pid = info.dwProcessId;
        WaitUntil([&] { return (m_hWnd = FindProcessWindowTitled(pid, m_title.c_str())) != nullptr; }, 15000);
    }
    ~SupportProcess() { Stop(); }
    SupportProcess(const SupportProcess&) = delete;
    SupportProcess& operator=(const SupportProcess&) = delete;

    HWND Window() const { return m_hWnd; }
    HANDLE Process() const { return m_hProcess.Get(); }
    std::string File(const std::string& name) const { return m_dir.File(name); }

    // Closes its window and waits for it to end; its exit code, or nothing when it had to be
    // killed.
    std::optional<DWORD> Stop() {
        if (!m_hProcess) return std::nullopt;
        if (m_hWnd) ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        std::optional<DWORD> exitCode;
        if (::WaitForSingleObject(m_hProcess.Get(), 15000) == WAIT_OBJECT_0) {
            DWORD code = 0;
            if (::GetExitCodeProcess(m_hProcess.Get(), &code)) exitCode = code;
        } else {
            ::TerminateProcess(m_hProcess.Get(), 99);
            ::WaitForSingleObject(m_hProcess.Get(), 5000);
        }
        m_hProcess.Reset();
        m_hWnd = nullptr;
        return exitCode;
    }

private:
    ScratchDirectory m_dir;
    std::string m_title;
    UniqueKernelHandle m_hProcess;
    HWND m_hWnd = nullptr;
};
