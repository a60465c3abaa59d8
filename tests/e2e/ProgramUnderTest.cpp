#include "ProgramUnderTest.h"

#include "DisplayLanguage.h"

#include <stdexcept>
#include <vector>

#include "WindowQuery.h"
#include "res/resource.h"
#include "common/FileText.h"
#include "win/CodePage932.h"

ProgramUnderTest::ProgramUnderTest(const std::string& program, const std::string& workingDirectory,
                                   const std::string& arguments)
    : ProgramUnderTest(WideFromCp932(program), WideFromCp932(workingDirectory), WideFromCp932(arguments)) {}

ProgramUnderTest::ProgramUnderTest(const std::wstring& program, const std::wstring& workingDirectory,
                                   const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingDirectory.c_str(), &startup, &m_info))
        throw std::runtime_error("cannot start the program");
}

ProgramUnderTest::~ProgramUnderTest() {
    if (IsRunning()) {
        ::TerminateProcess(m_info.hProcess, 99);
        ::WaitForSingleObject(m_info.hProcess, 10000);
    }
    ::CloseHandle(m_info.hThread);
    ::CloseHandle(m_info.hProcess);
}

bool ProgramUnderTest::IsRunning() const {
    return ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ProgramUnderTest::WaitForExit(unsigned timeoutMs) const {
    if (::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

HWND ProgramUnderTest::WaitForFrame(unsigned timeoutMs) const {
    HWND frame = nullptr;
    WaitUntil([&] { return (frame = FindFrameWindow(Pid())) != nullptr || !IsRunning(); },
              timeoutMs);
    return frame;
}

HWND ProgramUnderTest::WaitForDialog(unsigned timeoutMs) const {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialogWindow(Pid())) != nullptr || !IsRunning(); },
              timeoutMs);
    return dialog;
}

HWND ProgramUnderTest::WaitForDialogTitled(const std::string& title, unsigned timeoutMs) const {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialogTitled(Pid(), title)) != nullptr; }, timeoutMs);
    return dialog;
}

HWND ProgramUnderTest::OpenSettings(unsigned timeoutMs) const {
    HWND frame = FindFrameWindow(Pid());
    if (!frame) return nullptr;
    ::PostMessageA(frame, WM_COMMAND, IDM_SETTINGS, 0);
    return WaitForDialogTitled(ShownText("お気に入り設定", "Favorite Keys"), timeoutMs);
}

std::optional<DWORD> ProgramUnderTest::CloseFrame(unsigned timeoutMs) const {
    HWND frame = FindFrameWindow(Pid());
    if (!frame) return std::nullopt;
    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    return WaitForExit(timeoutMs);
}
