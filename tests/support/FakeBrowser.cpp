// The fake web browser: a DDE server for service "IEXPLORE", topic "WWW_GetWindowInfo",
// answering requests for item "0xFFFFFFFF" in CF_TEXT the way the tests ask it to.
//
//   FakeBrowser.exe [--reply=TEXT | --reply-hex=HEX]
//                   [--refuse-connect | --refuse-request | --late-ms=N] [--lifetime-ms=N]
//
//   --reply=TEXT      answer with TEXT and a terminating NUL; the default is
//                     "http://fake.example/page.html","Fake page" (with those quotes)
//   --reply-hex=HEX   answer with exactly these bytes, two hex digits each, nothing added:
//                     replies without a terminator, without quotes, of any length, or empty
//                     (under Wine an empty data handle reaches the client as no data)
//   --refuse-connect  decline every conversation
//   --refuse-request  accept the conversation, answer no request
//   --late-ms=N       answer each request only after N milliseconds (a WM_CLOSE meanwhile
//                     abandons the answer and ends the program)
//   --lifetime-ms=N   end by itself after N milliseconds (default 60000), so that a test that
//                     crashed leaves nothing behind
//
// Its top-level window "FakeBrowser" is never shown; it exists once the service is
// registered, so a test waits for it before connecting, and WM_CLOSE to it ends the program.
// Every connection attempt appends "connect <service> <topic>" and every request
// "request <topic> <item> <format>" to fake-browser.log beside the executable.
// Exit code: 0 after WM_CLOSE or the lifetime, 2 for a bad command line, 3 when the DDE
// server or the window could not be set up.
#include <windows.h>
#include <ddeml.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/BesideModule.h"

#include "win/UniqueHandle.h"

namespace {
constexpr char kWindowTitle[] = "FakeBrowser";
constexpr char kWindowClass[] = "VorlundFakeBrowser";
constexpr char kLogName[] = "fake-browser.log";
constexpr UINT_PTR kLifetimeTimerId = 1;

enum class Mode { Answer, RefuseConnect, RefuseRequest, Late };

struct Options {
    Mode mode = Mode::Answer;
    std::string reply = "\"http://fake.example/page.html\",\"Fake page\"" + std::string(1, '\0');
    DWORD lateMs = 0;
    DWORD lifetimeMs = 60000;
};

bool ParseNumber(const char* text, DWORD& value) {
    char* end = nullptr;
    const unsigned long number = std::strtoul(text, &end, 10);
    if (!*text || *end) return false;
    value = static_cast<DWORD>(number);
    return true;
}

bool ParseHex(const char* text, std::string& bytes) {
    auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    bytes.clear();
    for (; text[0]; text += 2) {
        const int high = digit(text[0]);
        const int low = text[1] ? digit(text[1]) : -1;
        if (high < 0 || low < 0) return false;
        bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}

bool StartsWith(const char* text, const char* prefix, const char*& rest) {
    const std::size_t length = std::strlen(prefix);
    if (std::strncmp(text, prefix, length) != 0) return false;
    rest = text + length;
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* value = nullptr;
        if (StartsWith(arg, "--reply=", value)) {
            options.reply = std::string(value) + '\0';
        } else if (StartsWith(arg, "--reply-hex=", value)) {
            if (!ParseHex(value, options.reply)) return false;
        } else if (std::strcmp(arg, "--refuse-connect") == 0) {
            options.mode = Mode::RefuseConnect;
        } else if (std::strcmp(arg, "--refuse-request") == 0) {
            options.mode = Mode::RefuseRequest;
        } else if (StartsWith(arg, "--late-ms=", value)) {
            options.mode = Mode::Late;
            if (!ParseNumber(value, options.lateMs)) return false;
        } else if (StartsWith(arg, "--lifetime-ms=", value)) {
            if (!ParseNumber(value, options.lifetimeMs)) return false;
        } else {
            return false;
        }
    }
    return true;
}

std::string LogPath() {
    const std::string path = FileBesideModule(nullptr, kLogName);
    return path.empty() ? kLogName : path;
}

void AppendLine(const std::string& path, const std::string& text) {
    const std::string line = text + "\r\n";
    HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

// The running server. The DDE callback has no context argument, so the one server of the
// process is reachable only through this pointer; it is set while the server exists.
class Server;
Server* g_pServer = nullptr;

class Server {
public:
    explicit Server(const Options& options) : m_options(options), m_logPath(LogPath()) {}
    ~Server() {
        if (m_bRegistered) ::DdeNameService(m_idInst, m_hszService, nullptr, DNS_UNREGISTER);
        for (HSZ name : {m_hszService, m_hszTopic, m_hszItem})
            if (name) ::DdeFreeStringHandle(m_idInst, name);
        if (m_idInst) ::DdeUninitialize(m_idInst);
        g_pServer = nullptr;
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    bool Start() {
        g_pServer = this;
        if (::DdeInitializeA(&m_idInst, &Callback, APPCLASS_STANDARD | CBF_SKIP_ALLNOTIFICATIONS,
                             0) != DMLERR_NO_ERROR) {
            m_idInst = 0;
            return false;
        }
        m_hszService = ::DdeCreateStringHandleA(m_idInst, "IEXPLORE", CP_WINANSI);
        m_hszTopic = ::DdeCreateStringHandleA(m_idInst, "WWW_GetWindowInfo", CP_WINANSI);
        m_hszItem = ::DdeCreateStringHandleA(m_idInst, "0xFFFFFFFF", CP_WINANSI);
        if (!m_hszService || !m_hszTopic || !m_hszItem) return false;
        m_bRegistered = ::DdeNameService(m_idInst, m_hszService, nullptr, DNS_REGISTER) != nullptr;
        return m_bRegistered;
    }

    void SetWindow(HWND window) noexcept { m_hWnd = window; }

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV, HSZ hsz1, HSZ hsz2,
                                      HDDEDATA, ULONG_PTR, ULONG_PTR) noexcept {
        if (!g_pServer) return nullptr;
        try {
            switch (type) {
                case XTYP_CONNECT: return g_pServer->OnConnect(hsz1, hsz2);
                case XTYP_REQUEST: return g_pServer->OnRequest(hsz1, hsz2, format);
                default: return nullptr;
            }
        } catch (...) {
            return nullptr;
        }
    }

    std::string Text(HSZ name) const {
        char text[256] = {};
        ::DdeQueryStringA(m_idInst, name, text, sizeof text, CP_WINANSI);
        return text;
    }
    bool Is(HSZ name, HSZ expected) const {
        return ::DdeCmpStringHandles(name, expected) == 0;
    }

    HDDEDATA OnConnect(HSZ topic, HSZ service) {
        AppendLine(m_logPath, "connect " + Text(service) + " " + Text(topic));
        const bool accept = m_options.mode != Mode::RefuseConnect && Is(service, m_hszService) &&
                            Is(topic, m_hszTopic);
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(accept ? TRUE : FALSE));
    }

    HDDEDATA OnRequest(HSZ topic, HSZ item, UINT format) {
        AppendLine(m_logPath,
                   "request " + Text(topic) + " " + Text(item) + " " + std::to_string(format));
        if (m_options.mode == Mode::RefuseRequest || !Is(topic, m_hszTopic) ||
            !Is(item, m_hszItem) || format != CF_TEXT)
            return nullptr;
        if (m_options.mode == Mode::Late && !WaitUnlessClosed(m_options.lateMs)) return nullptr;
        auto* bytes = reinterpret_cast<LPBYTE>(const_cast<char*>(m_options.reply.data()));
        return ::DdeCreateDataHandle(m_idInst, bytes, static_cast<DWORD>(m_options.reply.size()),
                                     0, item, CF_TEXT, 0);
    }

    // Waits inside the callback, which is what makes the answer late; looks out for the
    // WM_CLOSE that ends a test (left in the queue for the main loop) and for the lifetime
    // timer. False when the wait was cut short.
    bool WaitUnlessClosed(DWORD ms) const {
        const ULONGLONG end = ::GetTickCount64() + ms;
        MSG msg;
        while (::GetTickCount64() < end) {
            if (::PeekMessageA(&msg, m_hWnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) return false;
            if (::PeekMessageA(&msg, m_hWnd, WM_TIMER, WM_TIMER, PM_NOREMOVE)) return false;
            ::Sleep(10);
        }
        return true;
    }

    Options m_options;
    std::string m_logPath;
    DWORD m_idInst = 0;
    HSZ m_hszService = nullptr;
    HSZ m_hszTopic = nullptr;
    HSZ m_hszItem = nullptr;
    HWND m_hWnd = nullptr;
    bool m_bRegistered = false;
};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    switch (msg) {
        case WM_TIMER:
            if (wParam == kLifetimeTimerId) ::DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY: ::PostQuitMessage(0); return 0;
        default: return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

// The hidden top-level window. WM_CLOSE destroys it (DefWindowProc), which ends the loop;
// an early return destroys it here.
struct WindowHandleTraits {
    using Handle = HWND;
    static Handle Empty() noexcept { return nullptr; }
    static bool IsEmpty(Handle h) noexcept { return h == nullptr; }
    static void Close(Handle h) noexcept {
        if (::IsWindow(h)) ::DestroyWindow(h);
    }
};
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Options options;
    if (!ParseOptions(__argc, __argv, options)) return 2;

    Server server(options);
    if (!server.Start()) return 3;

    WNDCLASSA wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (!::RegisterClassA(&wc)) return 3;
    UniqueHandle<WindowHandleTraits> window(
        ::CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                          CW_USEDEFAULT, 200, 100, nullptr, nullptr, instance, nullptr));
    if (!window) return 3;
    server.SetWindow(window.Get());
    ::SetTimer(window.Get(), kLifetimeTimerId, options.lifetimeMs, nullptr);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
