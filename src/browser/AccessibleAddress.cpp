#include "browser/AccessibleAddress.h"

#include <oleacc.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "browser/AddressText.h"
#include "browser/BrowserWindows.h"
#include "win/ComApartment.h"
#include "win/ComPtr.h"
#include "win/ProcAddress.h"
#include "win/SystemLibrary.h"
#include "win/UniqueHandle.h"
#include "win/LazyImports.h"

namespace {
// IID_IAccessible, defined here: linked with oleacc before uuid, the library's symbol
// resolved to an import thunk and every QueryInterface failed with E_NOINTERFACE.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf,
                                {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The address bar lies a dozen levels down in today's browsers; a tree much deeper than
// this is not a browser's, and the walk's recursion stays well inside its thread's stack.
constexpr int kMaxDepth = 64;
constexpr SIZE_T kSearchStackBytes = SIZE_T{256} * 1024;
// How long the caller waits beyond the walk's own time bound: the walk looks at the clock
// only between calls, so one call in progress at the deadline may still end.
constexpr DWORD kGraceMs = 200;
// Firefox builds its tree after the first question, on a later screen refresh or much later
// on a busy machine: a window whose root has no children yet is asked again at this
// interval, until its share of the capture is spent.
constexpr DWORD kLateTreeMs = 50;
// The whole capture, every candidate window together, and the most one window may take so
// that a slow one leaves time for the next.
constexpr DWORD kCaptureMs = 1500;
constexpr DWORD kWindowMs = 750;

// The accessibility library is loaded only for a capture, by its path in the system
// directory: the resident program never pays for it.
using AccessibleObjectFromWindowProc = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
using AccessibleChildrenProc = HRESULT(WINAPI*)(IAccessible*, LONG, LONG, VARIANT*, LONG*);

// The children of one element as AccessibleChildren returns them, cleared on every path.
class ChildList {
public:
    explicit ChildList(LONG count) : m_children(static_cast<std::size_t>(count)) {
        for (VARIANT& child : m_children) lazy::VariantInit(&child);
    }
    ~ChildList() {
        for (VARIANT& child : m_children) lazy::VariantClear(&child);
    }
    ChildList(const ChildList&) = delete;
    ChildList& operator=(const ChildList&) = delete;

    VARIANT* Data() noexcept { return m_children.data(); }
    VARIANT& operator[](std::size_t index) noexcept { return m_children[index]; }

private:
    std::vector<VARIANT> m_children;
};

VARIANT ChildId(LONG id) noexcept {
    VARIANT child;
    lazy::VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// The search of one tree within its bounds.
class AddressBarSearch {
public:
    enum class Outcome { Found, NotHere, GiveUp };

    AddressBarSearch(AccessibleChildrenProc children, ULONGLONG ullDeadline, int nMaxNodes) noexcept
        : m_pfnChildren(children), m_ullDeadline(ullDeadline), m_nNodesLeft(nMaxNodes) {}

    // Looks at element, and below it unless it is the document.
    Outcome Search(IAccessible* element, bool inToolbar, int depth) {
        if (!Spend()) return Outcome::GiveUp;
        const LONG role = Role(element, CHILDID_SELF);
        if (Expired()) return Outcome::GiveUp;
        // The page and the tab strip hold nearly all the elements, and a page may hold
        // toolbars and text fields of its own: neither is entered.
        if (role == ROLE_SYSTEM_DOCUMENT || role == ROLE_SYSTEM_PAGETABLIST) return Outcome::NotHere;
        if (inToolbar && IsAddressRole(role)) {
            const Outcome outcome = ReadIfEditable(element, CHILDID_SELF, role);
            if (outcome != Outcome::NotHere) return outcome;
        }
        inToolbar = inToolbar || role == ROLE_SYSTEM_TOOLBAR;
        if (depth >= kMaxDepth) return Outcome::NotHere;

        LONG count = 0;
        const HRESULT hrCount = element->get_accChildCount(&count);
        if (Expired()) return Outcome::GiveUp;
        if (FAILED(hrCount) || count <= 0) return Outcome::NotHere;
        // A count beyond what is left is cut to one more than that: the walk gives up at that
        // child all the same, and a wild count allocates nothing.
        count = static_cast<LONG>(std::min<long long>(count, m_nNodesLeft + 1LL));
        ChildList children(count);
        LONG obtained = 0;
        const HRESULT hrChildren =
            m_pfnChildren(element, 0, count, children.Data(), &obtained);
        if (Expired()) return Outcome::GiveUp;
        if (FAILED(hrChildren)) return Outcome::NotHere;

        obtained = std::min(obtained, count);
        for (LONG i = 0; i < obtained; ++i) {
            const VARIANT& child = children[static_cast<std::size_t>(i)];
            Outcome outcome = Outcome::NotHere;
            if (child.vt == VT_DISPATCH && child.pdispVal) {
                const ComPtr<IAccessible> accessible =
                    QueryInterfaceOf<IAccessible>(child.pdispVal, kIidAccessible);
                if (Expired()) return Outcome::GiveUp;
                if (accessible)
                    outcome = Search(accessible.Get(), inToolbar, depth + 1);
                else if (!Spend())
                    return Outcome::GiveUp;
            } else {
                if (!Spend()) return Outcome::GiveUp;
                if (child.vt == VT_I4)
                    outcome = SearchSimpleElement(element, child.lVal, inToolbar);
            }
            if (outcome != Outcome::NotHere) return outcome;
        }
        return Outcome::NotHere;
    }

    const std::wstring& Address() const noexcept { return m_address; }

private:
    // A simple element (a child id of its parent) has no children: only the address bar
    // itself matters, so outside toolbars it is not even asked its role.
    Outcome SearchSimpleElement(IAccessible* parent, LONG id, bool inToolbar) {
        if (!inToolbar) return Outcome::NotHere;
        const LONG role = Role(parent, id);
        if (Expired()) return Outcome::GiveUp;
        if (!IsAddressRole(role)) return Outcome::NotHere;
        return ReadIfEditable(parent, id, role);
    }

    // The address bar is an editable text (Chromium, Firefox until now) or, in Firefox's
    // newest front end, an editable combo box.
    static bool IsAddressRole(LONG role) noexcept { return role == ROLE_SYSTEM_TEXT || role == ROLE_SYSTEM_COMBOBOX; }

    // The value of an element that can be edited and is shown; a read-only one (a label
    // drawn as text) or a hidden one is not the address bar. A state that cannot be read does
    // not count against it. A combo box without a value leaves the search to its children
    // (its edit field); an empty text is the bar of an empty tab. Only role, state and value
    // are read: a browser that is asked for names switches its whole page accessibility on.
    Outcome ReadIfEditable(IAccessible* element, LONG id, LONG role) {
        UniqueVariant state;
        const HRESULT hrState = element->get_accState(ChildId(id), state.Put());
        if (Expired()) return Outcome::GiveUp;
        if (SUCCEEDED(hrState) && state.Get().vt == VT_I4 &&
            (state.Get().lVal & (STATE_SYSTEM_READONLY | STATE_SYSTEM_INVISIBLE)))
            return Outcome::NotHere;

        BSTR rawValue = nullptr;
        const HRESULT hrValue = element->get_accValue(ChildId(id), &rawValue);
        const UniqueBstr value(rawValue);
        const bool empty = !value || lazy::SysStringLen(value.Get()) == 0;
        if (role == ROLE_SYSTEM_COMBOBOX && (FAILED(hrValue) || empty))
            return Expired() ? Outcome::GiveUp : Outcome::NotHere;
        // The address bar was found: without its value there is nothing to look for further,
        // and a value that came late is the answer all the same.
        if (FAILED(hrValue)) return Outcome::GiveUp;
        if (!empty) m_address.assign(value.Get(), lazy::SysStringLen(value.Get()));
        return Outcome::Found;
    }

    // The element's role, or 0 when it has none that we know.
    static LONG Role(IAccessible* element, LONG id) {
        UniqueVariant role;
        if (FAILED(element->get_accRole(ChildId(id), role.Put())) || role.Get().vt != VT_I4)
            return 0;
        return role.Get().lVal;
    }

    // Counts one more element; false once the bound is passed.
    bool Spend() noexcept { return m_nNodesLeft-- > 0 && !Expired(); }
    bool Expired() const noexcept { return ::GetTickCount64() >= m_ullDeadline; }

    AccessibleChildrenProc m_pfnChildren;
    ULONGLONG m_ullDeadline;
    int m_nNodesLeft;
    std::wstring m_address;
};

// One walk, shared by its thread and the caller; whichever lets go last frees it, so a
// caller that stopped waiting leaves nothing dangling.
struct SearchJob {
    HWND hWndBrowser;
    ULONGLONG ullDeadline;
    int nMaxNodes;
    std::optional<std::wstring> address;
    // Set once address holds the walk's result, before the walk lets go of the browser's
    // objects, COM and oleacc: that clean-up may take longer than the caller's grace.
    UniqueKernelHandle hFound{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

void SearchWindow(SearchJob& job) {
    const HWND hWndBrowser = job.hWndBrowser;
    const ULONGLONG ullDeadline = job.ullDeadline;
    // A window whose thread does not answer at all is left before any COM call, so no walk
    // thread stays behind waiting in it.
    const ULONGLONG now = ::GetTickCount64();
    if (now >= ullDeadline) return;
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hWndBrowser, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               static_cast<UINT>(ullDeadline - now), &result))
        return;

    // Declared first, so it goes last: after every object it made.
    const UniqueModule oleacc = LoadSystemLibrary("oleacc.dll");
    auto fromWindow = GetProcAs<AccessibleObjectFromWindowProc>(oleacc.Get(), "AccessibleObjectFromWindow");
    auto children = GetProcAs<AccessibleChildrenProc>(oleacc.Get(), "AccessibleChildren");
    if (!fromWindow || !children) return;
    ComApartment apartment;
    for (;;) {
        ComPtr<IAccessible> root;
        const HRESULT hr = fromWindow(hWndBrowser, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                      reinterpret_cast<void**>(root.Put()));
        if (FAILED(hr) || !root) return;
        // A tree not built yet: asked again a little later, while the window's time lasts.
        LONG count = 0;
        if (SUCCEEDED(root->get_accChildCount(&count)) && count == 0) {
            if (::GetTickCount64() + kLateTreeMs >= ullDeadline) return;
            ::Sleep(kLateTreeMs);
            continue;
        }
        AddressBarSearch search(children, ullDeadline, job.nMaxNodes);
        if (search.Search(root.Get(), false, 0) != AddressBarSearch::Outcome::Found) return;
        job.address = search.Address();
        ::SetEvent(job.hFound.Get());
        return;
    }
}

DWORD WINAPI SearchThread(void* parameter) noexcept {
    const std::unique_ptr<std::shared_ptr<SearchJob>> job(
        static_cast<std::shared_ptr<SearchJob>*>(parameter));
    try {
        SearchWindow(**job);
    } catch (...) {
    }
    return 0;
}

// Waits for the walk's result or for its thread to end, serving messages sent to this
// thread's windows meanwhile (the walk may ask them, when the browser is one of ours). False
// when the time ran out.
bool WaitServingSentMessages(HANDLE thread, HANDLE found, ULONGLONG timeoutMs) noexcept {
    const HANDLE handles[] = {thread, found};
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) return false;
        const auto waitMs = static_cast<DWORD>(std::min<ULONGLONG>(end - now, INFINITE - 1));
        const DWORD wait = ::MsgWaitForMultipleObjectsEx(2, handles, waitMs, QS_SENDMESSAGE, 0);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_OBJECT_0 + 1) return true;
        if (wait != WAIT_OBJECT_0 + 2) return false;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
}  // namespace

std::optional<std::string> ReadAddressBar(HWND browser, DWORD timeoutMs, int maxNodes) noexcept {
    if (!browser || !::IsWindow(browser) || maxNodes <= 0) return std::nullopt;
    try {
        // A cross-process COM call has no time limit of its own: a browser that stops
        // answering in the middle of one would hold the caller until it answered again. The
        // walk therefore runs on a thread of its own, which the caller stops waiting for.
        auto job = std::make_shared<SearchJob>();
        job->hWndBrowser = browser;
        job->ullDeadline = ::GetTickCount64() + timeoutMs;
        job->nMaxNodes = maxNodes;
        if (!job->hFound) return std::nullopt;
        auto parameter = std::make_unique<std::shared_ptr<SearchJob>>(job);
        UniqueKernelHandle thread(::CreateThread(nullptr, kSearchStackBytes, &SearchThread,
                                                 parameter.get(),
                                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
        if (!thread) return std::nullopt;
        static_cast<void>(parameter.release());  // the thread owns it now
        if (!WaitServingSentMessages(thread.Get(), job->hFound.Get(), ULONGLONG{timeoutMs} + kGraceMs))
            return std::nullopt;
        if (!job->address) return std::nullopt;
        return WideToCodePage932Address(*job->address);
    } catch (...) {
        return std::nullopt;
    }
}

PageCapture CapturePageFromBrowsers() noexcept {
    PageCapture capture;
    try {
        const std::vector<HWND> windows = FindBrowserWindows();
        if (windows.empty()) return capture;
        capture.result = PageCapture::Result::Unreadable;
        const ULONGLONG deadline = ::GetTickCount64() + kCaptureMs;
        for (HWND browser : windows) {
            const ULONGLONG now = ::GetTickCount64();
            if (now + kGraceMs >= deadline) break;
            const auto bound = static_cast<DWORD>(std::min<ULONGLONG>(kWindowMs, deadline - now - kGraceMs));
            const std::optional<std::string> shown = ReadAddressBar(browser, bound);
            // A window without an address bar (a web app, a picture-in-picture one that is not
            // topmost) or with search words typed into it: the next one may show the page.
            const std::optional<std::string> link =
                shown ? AddressFromShownText(*shown, BareHostSchemeOf(browser)) : std::nullopt;
            if (link) {
                capture.result = PageCapture::Result::Found;
                capture.link = *link;
                break;
            }
        }
    } catch (...) {
    }
    return capture;
}
