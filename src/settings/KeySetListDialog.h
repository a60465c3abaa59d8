#pragma once
// Read-only list of every key set: number, caption and link, one row per key, in table
// order. It shows the table it is given as it is at the moment of the fill, so the settings
// dialog's unsaved edits appear too.
#include "keys/KeySetTable.h"
#include "res/AppMessages.h"
#include "win/AccessibleAnnotations.h"
#include "win/Dialog.h"

class KeySetListDialog : public Dialog {
public:
    // The table must outlive the dialog; the settings dialog passes the application's table.
    KeySetListDialog(const KeySetTable& keySets, HWND parent) noexcept;

protected:
    BOOL OnInitDialog() override;
    bool OnDialogMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // Rebuilds the rows from the table and fits the link column; returns 0.
    LRESULT OnFillList(WPARAM wParam, LPARAM lParam);

    const KeySetTable& m_keySets;
    AccessibleAnnotations m_annotations;
};
