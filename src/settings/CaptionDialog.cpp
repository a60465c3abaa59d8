#include "settings/CaptionDialog.h"

#include <cstring>

#include "res/resource.h"
#include "res/texts.h"
#include "win/UiLanguage.h"
#include "win/CodePage932.h"
#include "win/TextFormat.h"
#include "win/WindowText.h"

namespace {
// Length of the longest prefix of text that fits in limit bytes without splitting a
// double-byte character. A lone lead byte at the end would turn into a stray character in
// the label and, through the table, in the settings file.
std::size_t WholeCharacterPrefix(const char* text, std::size_t limit) noexcept {
    std::size_t length = 0;
    while (text[length]) {
        const bool doubleByte = ::IsDBCSLeadByteEx(kCodePage932, static_cast<BYTE>(text[length])) != FALSE;
        if (doubleByte && !text[length + 1]) break;
        const std::size_t step = doubleByte ? 2 : 1;
        if (length + step > limit) break;
        length += step;
    }
    return length;
}
}  // namespace

CaptionDialog::CaptionDialog(HWND parent) noexcept : Dialog(IDD_CAPTION, parent) {}

CaptionDialog::CaptionDialog(HWND parent, const std::string& caption) noexcept
    : CaptionDialog(parent) {
    SetCaption(caption.c_str());
}

void CaptionDialog::SetCaption(const char* text) noexcept {
    if (!text) return;
    std::memset(m_szCaption, 0, sizeof m_szCaption);
    std::memcpy(m_szCaption, text, WholeCharacterPrefix(text, kMaxCaptionLength));
}

BOOL CaptionDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    ::SendMessageW(Item(IDC_CAPTION_EDIT), EM_LIMITTEXT, kMaxCaptionLength, 0);
    // The dialog is the field and nothing else: the screen reader calls the field by the
    // dialog's title, as no label stands before it.
    m_annotations.SetName(Item(IDC_CAPTION_EDIT), WideWindowTextOf(Hwnd()));
    SetWindowTextCp932(Item(IDC_CAPTION_EDIT), m_szCaption);
    return TRUE;
}

void CaptionDialog::OnOK() {
    // Read as Windows has it: a character code page 932 cannot hold is named and the dialog
    // stays open with the text as typed, never stored as "?" or a look-alike.
    const Cp932Text caption = Cp932FromWide(WideWindowTextOf(Item(IDC_CAPTION_EDIT)));
    if (!caption.Exact()) {
        MessageBoxWide(Hwnd(), FillInWide(UiText(IDS_CAPTION_CANNOT_BE_STORED), {caption.lost}), UiText(IDS_LINK_INFO_CAPTION),
                       MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The edit counts its limit in UTF-16 units, not bytes: its text may take more than the
    // buffer, which keeps whole characters only.
    SetCaption(caption.text.c_str());
    Dialog::OnOK();
}
