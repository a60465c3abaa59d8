#pragma once
// The DDE client through which the settings dialog asks the running web browser for the
// address of the page it shows: service "IEXPLORE", topic "WWW_GetWindowInfo", item
// "0xFFFFFFFF" (the browser's most recently active window), as CF_TEXT.
//
// The dialog opens the query when its window exists and closes it when the window goes; a
// capture connects, queries once and disconnects. Everything runs on the dialog's thread,
// and the library calls BrowserDdeCallback on that thread.
#include <windows.h>
#include <ddeml.h>

#include <string>

#include "browser/PageAddressReply.h"
#include "win/WindowText.h"

// The callback of the query's DDE instance. A client that only sends synchronous requests
// has nothing to answer: every transaction gets a null data handle.
HDDEDATA CALLBACK BrowserDdeCallback(UINT type, UINT format, HCONV conversation, HSZ hsz1,
                                     HSZ hsz2, HDDEDATA data, ULONG_PTR data1,
                                     ULONG_PTR data2) noexcept;

class BrowserQuery {
public:
    static constexpr DWORD kRequestTimeoutMs = 1000;

    // The library functions that make and end the instance and its string handles. Tests put
    // recording ones in their place to see exactly what is created and freed.
    struct Lifecycle {
        decltype(&::DdeInitializeA) pfnInitialize = &::DdeInitializeA;
        decltype(&::DdeCreateStringHandleA) pfnCreateString = &::DdeCreateStringHandleA;
        decltype(&::DdeFreeStringHandle) pfnFreeString = &::DdeFreeStringHandle;
        decltype(&::DdeUninitialize) pfnUninitialize = &::DdeUninitialize;
    };
    // The program's CP932 texts; the real one shows them through the wide message box.
    using MessageBoxProc = int (*)(HWND owner, const std::string& text, const std::string& caption, UINT type);

    BrowserQuery() noexcept = default;
    ~BrowserQuery() { Close(); }
    BrowserQuery(const BrowserQuery&) = delete;
    BrowserQuery& operator=(const BrowserQuery&) = delete;

    // Set before Open; the functions are used until the matching Close.
    void SetLifecycle(const Lifecycle& lifecycle) noexcept { m_lifecycle = lifecycle; }
    // The message box of a failed Connect; tests put a recording one in its place.
    void SetMessageBoxProc(MessageBoxProc proc) noexcept { m_pfnMessageBox = proc; }

    // Starts a client-only DDE instance and makes the three names. A failed start is silent
    // and leaves the query unusable (no instance, no names): every Connect then fails. owner
    // is the window that owns the message box of a failed Connect.
    void Open(HWND owner) noexcept;
    // Frees the names that were made and ends the instance (and with it any conversation).
    // Does nothing when there is nothing to free, so it may be called again.
    void Close() noexcept;

    // 0 when the browser answered; −1 after telling the user that it was not found. Whatever
    // the library returned is kept as the conversation, for Disconnect.
    int Connect();
    // The same without the message: for a caller that has another way to find the page.
    int TryConnect() noexcept;
    // Tells the user that no browser was found.
    void ReportNotFound();
    // A browser window is there, but the address of its page could not be read.
    void ReportUnreadable();
    // 0 after ending the conversation; −1 when there was none.
    int Disconnect() noexcept;
    // Asks for the page address and waits at most kRequestTimeoutMs. 0: the request completed
    // and address holds the reply's first field, or is untouched when the reply was empty or
    // the request produced no data without an error; −1: no conversation; −2: no data and the
    // library reports an error (refused, timed out). address is untouched unless 0 is returned.
    // *whole, when given, turns false when the address was longer than the buffer.
    int QueryPageAddress(char (&address)[kPageAddressSize], bool* whole = nullptr) noexcept;

    DWORD Instance() const noexcept { return m_idInst; }
    bool IsConnected() const noexcept { return m_hConv != nullptr; }

private:
    Lifecycle m_lifecycle;
    MessageBoxProc m_pfnMessageBox = &MessageBoxCp932;
    HWND m_hWndOwner = nullptr;
    DWORD m_idInst = 0;
    HSZ m_hszService = nullptr;
    HSZ m_hszTopic = nullptr;
    HSZ m_hszItem = nullptr;
    HCONV m_hConv = nullptr;
};
