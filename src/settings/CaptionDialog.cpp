#include "settings/CaptionDialog.h"

#include <cstring>

#include "res/resource.h"
#include "win/WindowText.h"

namespace {
// Length of the longest prefix of text that fits in limit bytes without splitting a
// double-byte character. A lone lead byte at the end would turn into a stray character in
// the label and, through the table, in the settings file.
std::size_t WholeCharacterPrefix(const char* text, std::size_t limit) noexcept {
    std::size_t length = 0;
    while (text[length]) {
        const bool doubleByte = ::IsDBCSLeadByte(static_cast<BYTE>(text[length])) != FALSE;
        if (doubleByte && !text[length + 1]) break;
        const std::size_t step = doubleByte ? 2 : 1;
        if (length + step > limit) break;
        length += step;
    }
    return length;
}

// Cuts the text in place to what WholeCharacterPrefix keeps.
template <std::size_t Size>
void CutToWholeCharacters(char (&text)[Size]) noexcept {
    const std::size_t length = WholeCharacterPrefix(text, Size - 1);
    std::memset(text + length, 0, Size - length);
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
    SetWindowTextCp932(Item(IDC_CAPTION_EDIT), m_szCaption);
    return TRUE;
}

void CaptionDialog::OnOK() {
    std::memset(m_szCaption, 0, sizeof m_szCaption);
    ::GetDlgItemTextA(Hwnd(), IDC_CAPTION_EDIT, m_szCaption, sizeof m_szCaption);
    // An edit that counts its limit in UTF-16 units, not bytes, holds more than the buffer
    // takes, and the copy then stops in the middle of a double-byte character.
    CutToWholeCharacters(m_szCaption);
    Dialog::OnOK();
}
