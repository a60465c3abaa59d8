#pragma once
// One started copy of a program. The destructor ends it if it still runs, so that no test
// leaves a process behind, whatever it asserted.
#include <windows.h>

#include <optional>
#include <string>

class ProgramUnderTest {
public:
    // Starts the program with the given working directory; throws when it cannot start.
    ProgramUnderTest(const std::string& program, const std::string& workingDirectory,
                     const std::string& arguments = {});
    // The same for names code page 932 cannot hold.
    ProgramUnderTest(const std::wstring& program, const std::wstring& workingDirectory,
                     const std::wstring& arguments = {});
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    DWORD Pid() const noexcept { return m_info.dwProcessId; }
    bool IsRunning() const;
    // The exit code once the program has ended within the time, else nothing.
    std::optional<DWORD> WaitForExit(unsigned timeoutMs) const;

    // The hidden frame window once it exists, or null after the time.
    HWND WaitForFrame(unsigned timeoutMs = 15000) const;
    // A visible dialog (message box) of the program, or null after the time.
    HWND WaitForDialog(unsigned timeoutMs = 15000) const;
    // The visible dialog with this title, or null after the time.
    HWND WaitForDialogTitled(const std::string& title, unsigned timeoutMs = 10000) const;
    // Sends the Settings command to the frame; the settings dialog, or null after the time.
    HWND OpenSettings(unsigned timeoutMs = 10000) const;
    // Posts WM_CLOSE to the frame and waits for the program to end; its exit code.
    std::optional<DWORD> CloseFrame(unsigned timeoutMs = 15000) const;

private:
    PROCESS_INFORMATION m_info{};
};
