#pragma once
// Edits one key's caption. The dialog only holds the text: the opener copies the caption in,
// runs the dialog and, on IDOK, stores what GetCaption returns.
#include <string>

#include "win/AccessibleAnnotations.h"
#include "win/Dialog.h"

class CaptionDialog : public Dialog {
public:
    // Longest caption the dialog takes, in bytes of CP932 text, terminator excluded.
    static constexpr int kMaxCaptionLength = 32;

    explicit CaptionDialog(HWND parent) noexcept;
    // The same, with the caption to start from; an empty caption starts the edit empty.
    CaptionDialog(HWND parent, const std::string& caption) noexcept;

    // Null leaves the buffer as it is; any other text replaces it, cut to its first
    // kMaxCaptionLength bytes.
    void SetCaption(const char* text) noexcept;
    // The caption buffer; what the user confirmed once DoModal has returned IDOK.
    const char* GetCaption() const noexcept { return m_szCaption; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    char m_szCaption[kMaxCaptionLength + 1] = {};
    AccessibleAnnotations m_annotations;
};
