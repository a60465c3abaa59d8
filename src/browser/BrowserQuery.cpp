#include "browser/BrowserQuery.h"

#include <initializer_list>
#include <utility>

#include "res/texts.h"
#include "win/UiLanguage.h"
#include "win/UniqueHandle.h"

namespace {
constexpr char kService[] = "IEXPLORE";
constexpr char kTopic[] = "WWW_GetWindowInfo";
// In the browser's interface this window id stands for its most recently active window.
constexpr char kItem[] = "0xFFFFFFFF";

// The data handle of a synchronous request belongs to the client until it is freed.
using UniqueDdeData = UniqueHandle<NullHandleTraits<HDDEDATA, &::DdeFreeDataHandle>>;
}  // namespace

HDDEDATA CALLBACK BrowserDdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR,
                                     ULONG_PTR) noexcept {
    return nullptr;
}

void BrowserQuery::Open(HWND owner) noexcept {
    Close();  // a second Open must not lose what the first one made
    m_hWndOwner = owner;
    m_idInst = 0;
    if (m_lifecycle.pfnInitialize(&m_idInst, &BrowserDdeCallback, APPCMD_CLIENTONLY, 0) !=
        DMLERR_NO_ERROR) {
        m_idInst = 0;  // whatever a failed start left there is no instance of ours
        return;
    }
    m_hszService = m_lifecycle.pfnCreateString(m_idInst, kService, CP_WINANSI);
    m_hszTopic = m_lifecycle.pfnCreateString(m_idInst, kTopic, CP_WINANSI);
    m_hszItem = m_lifecycle.pfnCreateString(m_idInst, kItem, CP_WINANSI);
}

void BrowserQuery::Close() noexcept {
    for (HSZ* name : {&m_hszService, &m_hszTopic, &m_hszItem})
        if (*name) m_lifecycle.pfnFreeString(m_idInst, std::exchange(*name, nullptr));
    if (m_idInst) m_lifecycle.pfnUninitialize(std::exchange(m_idInst, 0));
    m_hConv = nullptr;  // ended with the instance
}

int BrowserQuery::Connect() {
    if (TryConnect() == 0) return 0;
    ReportNotFound();
    return -1;
}

int BrowserQuery::TryConnect() noexcept {
    if (m_idInst) {
        // DdeGetLastError hands out the instance's last error and clears it. Under Wine a
        // disconnect after a conversation that spanned a message loop (a message box) leaves
        // DMLERR_NOTPROCESSED behind; unless it is cleared here, the second capture in one
        // dialog would report a browser that did answer as missing.
        ::DdeGetLastError(m_idInst);
        m_hConv = ::DdeConnect(m_idInst, m_hszService, m_hszTopic, nullptr);
        if (::DdeGetLastError(m_idInst) == DMLERR_NO_ERROR) return 0;
    }
    return -1;
}

void BrowserQuery::ReportNotFound() {
    m_pfnMessageBox(m_hWndOwner, UiText(IDS_BROWSER_NOT_FOUND), UiText(IDS_LINK_INFO_CAPTION),
                    MB_OK | MB_ICONHAND);
}

void BrowserQuery::ReportUnreadable() {
    m_pfnMessageBox(m_hWndOwner, UiText(IDS_BROWSER_ADDRESS_UNREADABLE), UiText(IDS_LINK_INFO_CAPTION),
                    MB_OK | MB_ICONEXCLAMATION);
}

int BrowserQuery::Disconnect() noexcept {
    if (!m_hConv) return -1;
    ::DdeDisconnect(std::exchange(m_hConv, nullptr));
    return 0;
}

int BrowserQuery::QueryPageAddress(char (&address)[kPageAddressSize], bool* whole) noexcept {
    if (!m_hConv) return -1;
    ::DdeGetLastError(m_idInst);  // only this request's error decides
    UniqueDdeData reply(::DdeClientTransaction(nullptr, 0, m_hConv, m_hszItem, CF_TEXT,
                                               XTYP_REQUEST, kRequestTimeoutMs, nullptr));
    if (!reply) return ::DdeGetLastError(m_idInst) != DMLERR_NO_ERROR ? -2 : 0;
    DWORD size = 0;
    if (const BYTE* data = ::DdeAccessData(reply.Get(), &size)) {
        ParsePageAddressReply(data, size, address, whole);
        ::DdeUnaccessData(reply.Get());
    }
    return 0;
}
