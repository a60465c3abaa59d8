// The fake modern browser: a top-level window of Chrome's class that answers no DDE and
// serves its own accessibility tree instead, the way the address bar of today's browsers is
// read (ReadAddressBar).
//
//   FakeModernBrowser.exe [--address=TEXT] [--slow-ms=N] [--no-text] [--simple-text]
//                         [--lifetime-ms=N] [--tabs=N] [--combo] [--combo-child]
//                         [--late-ms=N] [--pip] [--class=NAME]
//
//   --address=TEXT    the address bar's value (default "https://fake.example/page.html"); the
//                     argument is read from the Unicode command line, so Japanese and
//                     emoji arrive intact (from a UTF-8 shell through wine, or CreateProcessW)
//   --slow-ms=N       every IAccessible call sleeps N milliseconds before it answers
//   --no-text         the toolbar holds no text element at all
//   --simple-text     the address bar is a simple element of the toolbar (a child id, asked
//                     through the toolbar) instead of an object of its own
//   --lifetime-ms=N   end by itself after N milliseconds (default 60000)
//   --tabs=N          a tab strip of N tabs (five elements each) before the toolbar, as
//                     Chromium and Firefox have it
//   --combo           the address bar is an editable combo box holding the address, as in
//                     Firefox's newest front end; --combo-child: an empty combo box whose
//                     editable text child holds it
//   --late-ms=N       the client reports no children until N ms after the window was first
//                     asked for its tree (Firefox builds it on the next screen refresh)
//   --pip             a topmost picture-in-picture window of the same class on top, holding
//                     only a video document
//   --class=NAME      the window class (default Chrome_WidgetWin_1; MozillaWindowClass
//                     for Firefox)
//
// The tree, in child order:
//   client "FakeModernBrowser"
//     document "Fake page" (value https://decoy.example/)
//       toolbar "Page toolbar" > editable text "https://decoy.example/"   (a page's own)
//       50 groupings > 100 static texts each
//     page tab list "Tabs" > N page tabs > title, icon, alert, close button  (--tabs)
//     toolbar "Navigation"
//       push button "Back"
//       read-only text "https://readonly.example/"    (unless --no-text)
//       editable text, the address                    (unless --no-text)
// So a walk that enters the document is both slow and wrong.
//
// The window "FakeModernBrowser" is shown without being activated; WM_CLOSE ends the
// program. At the end "calls N" (IAccessible calls answered), "document-calls N" (those
// about elements inside the document or the tab strip, these two themselves not counted) and
// "name-calls N" (names asked for, which switch a real browser's page accessibility on) are
// written to modern-browser.log beside the executable.
// Exit code: 0 after WM_CLOSE or the lifetime, 2 for a bad command line, 3 when the window
// could not be set up.
#include <windows.h>
#include <oleacc.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/BesideModule.h"

#include "win/UniqueHandle.h"

namespace {
// IID_IAccessible, defined here for the same reason as in AccessibleAddress.cpp: taken from
// oleacc's import library it resolved to a thunk and no QueryInterface matched it.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf,
                                {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr char kPictureInPictureTitle[] = "Picture in picture";
constexpr char kWindowTitle[] = "FakeModernBrowser";
constexpr char kLogName[] = "modern-browser.log";
constexpr UINT_PTR kLifetimeTimerId = 1;
constexpr int kDocumentGroups = 50;
constexpr int kTextsPerGroup = 100;
constexpr wchar_t kDecoyAddress[] = L"https://decoy.example/";
constexpr wchar_t kReadOnlyText[] = L"https://readonly.example/";

struct Options {
    std::wstring address = L"https://fake.example/page.html";
    DWORD slowMs = 0;
    bool noText = false;
    bool simpleText = false;
    DWORD lifetimeMs = 60000;
    DWORD tabs = 0;
    bool combo = false;
    bool comboChild = false;
    DWORD lateMs = 0;
    bool pictureInPicture = false;
    std::string windowClass = "Chrome_WidgetWin_1";
};

bool ParseNumber(const wchar_t* text, DWORD& value) {
    wchar_t* end = nullptr;
    const unsigned long number = std::wcstoul(text, &end, 10);
    if (!*text || *end) return false;
    value = static_cast<DWORD>(number);
    return true;
}

bool StartsWith(const wchar_t* text, const wchar_t* prefix, const wchar_t*& rest) {
    const std::size_t length = std::wcslen(prefix);
    if (std::wcsncmp(text, prefix, length) != 0) return false;
    rest = text + length;
    return true;
}

using UniqueArgv = UniqueHandle<NullHandleTraits<LPWSTR*, &::LocalFree>>;

bool ParseOptions(Options& options) {
    int argc = 0;
    const UniqueArgv argv(::CommandLineToArgvW(::GetCommandLineW(), &argc));
    if (!argv) return false;
    for (int i = 1; i < argc; ++i) {
        const wchar_t* arg = argv.Get()[i];
        const wchar_t* value = nullptr;
        if (StartsWith(arg, L"--address=", value)) {
            options.address = value;
        } else if (StartsWith(arg, L"--slow-ms=", value)) {
            if (!ParseNumber(value, options.slowMs)) return false;
        } else if (std::wcscmp(arg, L"--no-text") == 0) {
            options.noText = true;
        } else if (std::wcscmp(arg, L"--simple-text") == 0) {
            options.simpleText = true;
        } else if (StartsWith(arg, L"--lifetime-ms=", value)) {
            if (!ParseNumber(value, options.lifetimeMs)) return false;
        } else if (StartsWith(arg, L"--tabs=", value)) {
            if (!ParseNumber(value, options.tabs)) return false;
        } else if (StartsWith(arg, L"--late-ms=", value)) {
            if (!ParseNumber(value, options.lateMs)) return false;
        } else if (std::wcscmp(arg, L"--combo") == 0) {
            options.combo = true;
        } else if (std::wcscmp(arg, L"--combo-child") == 0) {
            options.combo = options.comboChild = true;
        } else if (std::wcscmp(arg, L"--pip") == 0) {
            options.pictureInPicture = true;
        } else if (StartsWith(arg, L"--class=", value)) {
            options.windowClass.assign(value, value + std::wcslen(value));
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

void WriteLog(const std::string& text) {
    HANDLE file = ::CreateFileA(LogPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

// What every element shares: how slowly to answer, and what has been asked.
struct Service {
    DWORD slowMs = 0;
    long nCalls = 0;
    long nDocumentCalls = 0;
    long nNameCalls = 0;
    // A late tree: the client's children are hidden until this tick (0: not asked yet).
    DWORD lateMs = 0;
    ULONGLONG ullTreeReadyAt = 0;
};

// One element of the tree. The tree owns its elements and outlives every COM reference to
// them (the apartment is left before the tree goes), so the reference count only counts.
class Element final : public IAccessible {
public:
    Element(Service& service, LONG role, std::wstring name, std::wstring value, LONG state)
        : m_service(service), m_nRole(role), m_name(std::move(name)),
          m_value(std::move(value)), m_nState(state) {}

    // Adds a child and returns it. A simple child is served as a child id of this element.
    Element& Add(std::unique_ptr<Element> child, bool simple = false) {
        child->m_pParent = this;
        child->m_bSimple = simple;
        child->m_bInDocument =
            m_bInDocument || m_nRole == ROLE_SYSTEM_DOCUMENT || m_nRole == ROLE_SYSTEM_PAGETABLIST;
        m_children.push_back(std::move(child));
        return *m_children.back();
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
            *ppv = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        return static_cast<ULONG>(::InterlockedDecrement(&m_nRefs));
    }

    // IDispatch: MSAA clients use the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppParent) override {
        Answer(this);
        if (!ppParent) return E_POINTER;
        *ppParent = m_pParent;
        if (!m_pParent) return S_FALSE;
        m_pParent->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* pCount) override {
        Answer(this);
        if (!pCount) return E_POINTER;
        *pCount = HidesChildren() ? 0 : static_cast<long>(m_children.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** ppChild) override {
        Answer(this);
        if (!ppChild) return E_POINTER;
        *ppChild = nullptr;
        if (child.vt != VT_I4 || child.lVal < 1 ||
            static_cast<std::size_t>(child.lVal) > m_children.size())
            return E_INVALIDARG;
        Element& element = *m_children[static_cast<std::size_t>(child.lVal) - 1];
        if (element.m_bSimple) return S_FALSE;
        *ppChild = &element;
        element.AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* pName) override {
        ++m_service.nNameCalls;
        return Text(child, pName, &Element::m_name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* pValue) override {
        return Text(child, pValue, &Element::m_value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* pRole) override {
        return Number(child, pRole, &Element::m_nRole);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* pState) override {
        return Number(child, pState, &Element::m_nState);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR*) override {
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR*) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, long*) override {
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR*) override {
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT*) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT*) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR*) override {
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE accLocation(long*, long*, long*, long*, VARIANT) override {
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT*) override {
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long, long, VARIANT*) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return NotImplemented(); }

    // The root of a late tree: the first question starts the clock.
    void StartTreeClock() {
        if (m_service.lateMs && !m_service.ullTreeReadyAt)
            m_service.ullTreeReadyAt = ::GetTickCount64() + m_service.lateMs;
    }

private:
    bool HidesChildren() const {
        return !m_pParent && m_service.lateMs && ::GetTickCount64() < m_service.ullTreeReadyAt;
    }
    // Every call is slow alike and counted, by the element it is about.
    void Answer(const Element* about) {
        if (m_service.slowMs) ::Sleep(m_service.slowMs);
        ++m_service.nCalls;
        if (about && about->m_bInDocument) ++m_service.nDocumentCalls;
    }
    HRESULT NotImplemented() {
        Answer(this);
        return E_NOTIMPL;
    }

    // This element for CHILDID_SELF, else the child with that id; null for any other id.
    Element* Resolve(const VARIANT& child) {
        if (child.vt != VT_I4) return nullptr;
        if (child.lVal == CHILDID_SELF) return this;
        if (child.lVal < 1 || static_cast<std::size_t>(child.lVal) > m_children.size())
            return nullptr;
        return m_children[static_cast<std::size_t>(child.lVal) - 1].get();
    }

    HRESULT Text(const VARIANT& child, BSTR* pText, std::wstring Element::*field) {
        Element* element = Resolve(child);
        Answer(element ? element : this);
        if (!pText) return E_POINTER;
        *pText = nullptr;
        if (!element) return E_INVALIDARG;
        const std::wstring& text = element->*field;
        if (text.empty()) return S_FALSE;
        *pText = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *pText ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT Number(const VARIANT& child, VARIANT* pNumber, LONG Element::*field) {
        Element* element = Resolve(child);
        Answer(element ? element : this);
        if (!pNumber) return E_POINTER;
        ::VariantInit(pNumber);
        if (!element) return E_INVALIDARG;
        pNumber->vt = VT_I4;
        pNumber->lVal = element->*field;
        return S_OK;
    }

    Service& m_service;
    LONG m_nRole;
    std::wstring m_name;
    std::wstring m_value;
    LONG m_nState;
    Element* m_pParent = nullptr;
    bool m_bSimple = false;
    bool m_bInDocument = false;
    LONG m_nRefs = 1;
    std::vector<std::unique_ptr<Element>> m_children;
};

std::unique_ptr<Element> MakeElement(Service& service, LONG role, std::wstring name,
                                     std::wstring value = {}, LONG state = 0) {
    return std::make_unique<Element>(service, role, std::move(name), std::move(value), state);
}

std::unique_ptr<Element> BuildTree(Service& service, const Options& options) {
    auto root = MakeElement(service, ROLE_SYSTEM_CLIENT, L"FakeModernBrowser");

    Element& document = root->Add(
        MakeElement(service, ROLE_SYSTEM_DOCUMENT, L"Fake page", kDecoyAddress,
                    STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE));
    Element& pageToolbar = document.Add(MakeElement(service, ROLE_SYSTEM_TOOLBAR, L"Page toolbar"));
    pageToolbar.Add(MakeElement(service, ROLE_SYSTEM_TEXT, L"Search this site", kDecoyAddress,
                                STATE_SYSTEM_FOCUSABLE));
    for (int group = 0; group < kDocumentGroups; ++group) {
        Element& grouping = document.Add(
            MakeElement(service, ROLE_SYSTEM_GROUPING, L"Section " + std::to_wstring(group)));
        for (int line = 0; line < kTextsPerGroup; ++line)
            grouping.Add(MakeElement(service, ROLE_SYSTEM_STATICTEXT,
                                     L"Line " + std::to_wstring(line), {}, STATE_SYSTEM_READONLY));
    }

    if (options.tabs) {
        Element& tabs = root->Add(MakeElement(service, ROLE_SYSTEM_PAGETABLIST, L"Tabs"));
        for (DWORD i = 0; i < options.tabs; ++i) {
            Element& tab = tabs.Add(MakeElement(service, ROLE_SYSTEM_PAGETAB, L"Tab " + std::to_wstring(i)));
            tab.Add(MakeElement(service, ROLE_SYSTEM_STATICTEXT, L"Title", {}, STATE_SYSTEM_READONLY));
            tab.Add(MakeElement(service, ROLE_SYSTEM_GRAPHIC, L"Icon"));
            tab.Add(MakeElement(service, ROLE_SYSTEM_ALERT, L"Alert"));
            tab.Add(MakeElement(service, ROLE_SYSTEM_PUSHBUTTON, L"Close"));
        }
    }

    Element& toolbar = root->Add(MakeElement(service, ROLE_SYSTEM_TOOLBAR, L"Navigation"));
    toolbar.Add(MakeElement(service, ROLE_SYSTEM_PUSHBUTTON, L"Back"));
    if (!options.noText) {
        toolbar.Add(MakeElement(service, ROLE_SYSTEM_TEXT, L"Bookmarks", kReadOnlyText,
                                STATE_SYSTEM_READONLY));
        // A hidden text field before the bar, as toolbars keep for their popups.
        toolbar.Add(MakeElement(service, ROLE_SYSTEM_TEXT, L"Find", L"https://hidden.example/",
                                STATE_SYSTEM_INVISIBLE));
        if (options.combo) {
            Element& combo = toolbar.Add(MakeElement(service, ROLE_SYSTEM_COMBOBOX, L"Address bar",
                                                     options.comboChild ? L"" : options.address,
                                                     STATE_SYSTEM_FOCUSABLE));
            if (options.comboChild)
                combo.Add(MakeElement(service, ROLE_SYSTEM_TEXT, L"Address", options.address,
                                      STATE_SYSTEM_FOCUSABLE));
        } else {
            toolbar.Add(MakeElement(service, ROLE_SYSTEM_TEXT, L"Address and search bar",
                                    options.address, STATE_SYSTEM_FOCUSABLE),
                        options.simpleText);
        }
    }
    return root;
}

// A picture-in-picture window's tree: the video's document alone.
std::unique_ptr<Element> BuildVideoTree(Service& service) {
    auto root = MakeElement(service, ROLE_SYSTEM_CLIENT, L"Picture in picture");
    root->Add(MakeElement(service, ROLE_SYSTEM_DOCUMENT, L"Video", kDecoyAddress, STATE_SYSTEM_READONLY));
    return root;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    switch (msg) {
        case WM_NCCREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        case WM_GETOBJECT: {
            // lParam carries the object id as a 32-bit value, sign-extended or not.
            auto* root = reinterpret_cast<Element*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            if (root && static_cast<LONG>(lParam) == OBJID_CLIENT) {
                root->StartTreeClock();
                return ::LresultFromObject(kIidAccessible, wParam, root);
            }
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        case WM_TIMER:
            if (wParam == kLifetimeTimerId) ::DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            ::PostQuitMessage(0);
            return 0;
        default: return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

struct WindowHandleTraits {
    using Handle = HWND;
    static Handle Empty() noexcept { return nullptr; }
    static bool IsEmpty(Handle h) noexcept { return h == nullptr; }
    static void Close(Handle h) noexcept {
        if (::IsWindow(h)) ::DestroyWindow(h);
    }
};

// The apartment the tree is served from; leaving it releases what remote clients still hold.
class Apartment {
public:
    Apartment() noexcept
        : m_bEntered(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~Apartment() {
        if (m_bEntered) ::CoUninitialize();
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;
    bool Entered() const noexcept { return m_bEntered; }

private:
    bool m_bEntered;
};
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Options options;
    if (!ParseOptions(options)) return 2;

    // Declared in this order so that they go in the reverse one: the window, then the
    // apartment (releasing the remote references), then the tree.
    Service service;
    service.slowMs = options.slowMs;
    service.lateMs = options.lateMs;
    const std::unique_ptr<Element> root = BuildTree(service, options);
    const std::unique_ptr<Element> video = BuildVideoTree(service);
    Apartment apartment;
    if (!apartment.Entered()) return 3;

    WNDCLASSA wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = options.windowClass.c_str();
    if (!::RegisterClassA(&wc)) return 3;
    UniqueHandle<WindowHandleTraits> window(
        ::CreateWindowExA(0, wc.lpszClassName, kWindowTitle, WS_OVERLAPPEDWINDOW, 40, 40, 240, 120,
                          nullptr, nullptr, instance, root.get()));
    if (!window) return 3;
    ::ShowWindow(window.Get(), SW_SHOWNOACTIVATE);
    UniqueHandle<WindowHandleTraits> pictureInPicture;
    if (options.pictureInPicture) {
        pictureInPicture.Reset(::CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, kPictureInPictureTitle,
                                                 WS_POPUP | WS_VISIBLE, 300, 40, 160, 90, nullptr, nullptr,
                                                 instance, video.get()));
        if (!pictureInPicture) return 3;
    }
    ::SetTimer(window.Get(), kLifetimeTimerId, options.lifetimeMs, nullptr);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    WriteLog("calls " + std::to_string(service.nCalls) + "\r\ndocument-calls " +
             std::to_string(service.nDocumentCalls) + "\r\nname-calls " + std::to_string(service.nNameCalls) +
             "\r\n");
    return 0;
}
