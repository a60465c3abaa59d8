#include "settings/KeyButtonIcons.h"

#include <shellapi.h>
#include <commctrl.h>

#include <vector>

#include "win/CodePage932.h"
#include "win/LazyImports.h"
#include "win/UrlService.h"

namespace {
// The shell's icon for a file, program or other address; the caller owns it.
HICON ShellIconOf(const char* link) {
    // A writable copy of at most 260 characters: the shell may write the associated
    // program's path into it. Wide, so that a Japanese path is found on any system.
    wchar_t copy[MAX_PATH + 1] = {};
    WideFromCp932(link).copy(copy, MAX_PATH);
    WORD index = 0;
    return ::ExtractAssociatedIconW(::GetModuleHandleW(nullptr), copy, &index);
}
}  // namespace

KeyButtonIcons::KeyButtonIcons(HICON browserIcon) : m_hBrowserIcon(browserIcon) {
    // Every pixel transparent: the AND mask all ones, the colour all zeros.
    const int size = ::GetSystemMetrics(SM_CXICON);
    const std::vector<BYTE> mask(static_cast<std::size_t>((size + 15) / 16 * 2 * size), 0xFF);
    const std::vector<BYTE> colour(mask.size(), 0x00);
    m_blankIcon.Reset(::CreateIcon(nullptr, size, size, 1, 1, mask.data(), colour.data()));
}

bool KeyButtonIcons::IsWebLink(const char* link) const {
    // The classification sees the first 260 characters, as the shell would.
    char copy[261] = {};
    ::lstrcpynA(copy, link, sizeof copy);
    DWORD service = kUrlServiceUnknown;
    return m_urls.ParseServiceType(copy, service) &&
           (service == kUrlServiceFtp || service == kUrlServiceHttp || service == kUrlServiceHttps);
}

namespace {
// The icon with the system's small warning sign in its lower right corner; a sign alone
// without an icon. The caller owns the result.
HICON WithWarningSign(HICON icon) {
    const int size = ::GetSystemMetrics(SM_CXICON);
    const int small = ::GetSystemMetrics(SM_CXSMICON);
    const auto sign = static_cast<HICON>(::LoadImageA(nullptr, MAKEINTRESOURCEA(32515) /* IDI_WARNING */,
                                                      IMAGE_ICON, small, small, LR_SHARED));
    if (!icon) return sign ? ::CopyIcon(sign) : nullptr;
    HIMAGELIST base = lazy::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0);
    HIMAGELIST mark = lazy::ImageList_Create(small, small, ILC_COLOR32 | ILC_MASK, 1, 0);
    HICON result = nullptr;
    if (base && mark && lazy::ImageList_ReplaceIcon(base, -1, icon) == 0 && sign && lazy::ImageList_ReplaceIcon(mark, -1, sign) == 0) {
        if (HIMAGELIST merged = lazy::ImageList_Merge(base, 0, mark, 0, size - small, size - small)) {
            result = lazy::ImageList_GetIcon(merged, 0, ILD_NORMAL);
            lazy::ImageList_Destroy(merged);
        }
    }
    if (base) lazy::ImageList_Destroy(base);
    if (mark) lazy::ImageList_Destroy(mark);
    return result ? result : ::CopyIcon(icon);
}
}  // namespace

void KeyButtonIcons::SetKeyIcon(HWND button, const char* link, bool marked) {
    if (!button) return;
    // Blank until its icon comes (or for good, when none can be had).
    if (!::SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0))
        ::SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_blankIcon.Get()));
    m_waiting.erase(button);
    HICON icon = nullptr;
    if (link && *link) {
        auto known = m_linkIcons.find(link);
        if (known != m_linkIcons.end()) {
            icon = known->second.Get();
        } else if (IsWebLink(link)) {
            icon = m_hBrowserIcon;
        } else if (m_worker) {
            ReadLater(button, link, marked);
            return;
        } else {
            icon = ShellIconOf(link);
            m_linkIcons[link].Reset(icon);
        }
        if (!icon) return;
    }
    ShowIcon(button, icon, marked);
}

void KeyButtonIcons::ShowIcon(HWND button, HICON icon, bool marked) {
    UniqueIcon withSign(marked ? WithWarningSign(icon) : nullptr);
    const HICON shown = withSign ? withSign.Get() : icon ? icon : m_blankIcon.Get();
    ::SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(shown));
    // The button no longer shows its previous icon with a sign: it can go now.
    if (withSign) m_markedIcons[button] = std::move(withSign);
    else m_markedIcons.erase(button);
}

void KeyButtonIcons::ReadInBackground(HWND replyWindow, UINT replyMessage) {
    // Closing the dialog never waits for a read in progress: it ends by itself.
    m_worker = std::make_unique<BackgroundWorker>(replyWindow, replyMessage, 0);
}

void KeyButtonIcons::RunReplies() {
    if (m_worker) m_worker->RunReplies();
}

void KeyButtonIcons::ReadLater(HWND button, const std::string& link, bool marked) {
    bool asked = false;
    for (const auto& waiting : m_waiting) asked = asked || waiting.second.link == link;
    m_waiting[button] = Waiting{link, marked};
    if (asked) return;  // one read per link, however many keys wait for it
    m_worker->Post([this, link]() -> BackgroundWorker::Reply {  // `this` for the reply only
        // Held by the reply: an icon whose reply never runs (the dialog closed) is released.
        auto icon = std::make_shared<UniqueIcon>(ShellIconOf(link.c_str()));
        return [this, link, icon] {
            // A link asked again while its first read ran keeps the first icon: buttons may show it.
            auto found = m_linkIcons.find(link);
            if (found == m_linkIcons.end()) found = m_linkIcons.emplace(link, std::move(*icon)).first;
            const HICON kept = found->second.Get();
            for (auto waiting = m_waiting.begin(); waiting != m_waiting.end();) {
                if (waiting->second.link != link) {
                    ++waiting;
                    continue;
                }
                const HWND button = waiting->first;
                const bool marked = waiting->second.marked;
                waiting = m_waiting.erase(waiting);
                if (kept) ShowIcon(button, kept, marked);
            }
        };
    });
}
