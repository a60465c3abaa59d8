#pragma once
// The About box: the program's icon, name and version.
#include "win/Dialog.h"

class AboutDialog : public Dialog {
public:
    explicit AboutDialog(HWND parent) noexcept;

protected:
    BOOL OnInitDialog() override;
};
