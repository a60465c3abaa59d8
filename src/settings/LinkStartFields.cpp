#include "settings/LinkStartFields.h"

#include "keys/LinkKind.h"
#include "keys/SettingsValue.h"
#include "res/resource.h"
#include "res/texts.h"
#include "settings/LinkInput.h"
#include "win/CodePage932.h"
#include "win/FileOpenDialog.h"
#include "win/TextFormat.h"
#include "win/UiLanguage.h"
#include "win/WindowText.h"

namespace {
constexpr WindowShow kShows[] = {WindowShow::Normal, WindowShow::Minimized, WindowShow::Maximized};
constexpr UINT kShowTexts[] = {IDS_SHOW_NORMAL, IDS_SHOW_MINIMIZED, IDS_SHOW_MAXIMIZED};

void Refuse(HWND dialog, const std::wstring& why) {
    MessageBoxWide(dialog, why, UiText(IDS_LINK_INFO_CAPTION), MB_OK | MB_ICONEXCLAMATION);
}
}  // namespace

namespace LinkStartFields {
WindowShow ShowOfItem(LRESULT item) noexcept {
    return item >= 0 && item < 3 ? kShows[item] : WindowShow::Normal;
}

void Show(HWND dialog, const LinkStart& start) {
    HWND arguments = ::GetDlgItem(dialog, IDC_LINK_ARGUMENTS);
    HWND folder = ::GetDlgItem(dialog, IDC_LINK_START_IN);
    ::SendMessageW(arguments, EM_LIMITTEXT, kMaxValueBytes, 0);
    ::SendMessageW(folder, EM_LIMITTEXT, kMaxValueBytes, 0);
    SetWindowTextCp932(arguments, start.arguments);
    SetWindowTextCp932(folder, start.startIn);
    HWND list = ::GetDlgItem(dialog, IDC_LINK_SHOW);
    ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (std::size_t at = 0; at < 3; ++at) {
        ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadUiString(kShowTexts[at]).c_str()));
        if (kShows[at] == start.show) ::SendMessageW(list, CB_SETCURSEL, at, 0);
    }
    OnLinkChanged(dialog);
}

void OnLinkChanged(HWND dialog) {
    const std::string link = Cp932FromWide(WideWindowTextOf(::GetDlgItem(dialog, IDC_LINK_EDIT))).text;
    ::EnableWindow(::GetDlgItem(dialog, IDC_LINK_ARGUMENTS), LinkTakesArguments(link));
}

void BrowseFolder(HWND dialog) {
    if (auto folder = ShowFolderDialog(dialog, UiText(IDS_START_FOLDER_BROWSE_TITLE)))
        ::SetWindowTextW(::GetDlgItem(dialog, IDC_LINK_START_IN), folder->c_str());
}

std::optional<LinkStart> Read(HWND dialog) {
    LinkStart start;
    const std::wstring arguments = WideWindowTextOf(::GetDlgItem(dialog, IDC_LINK_ARGUMENTS));
    const Cp932Text convertedArguments = Cp932FromWide(arguments);
    if (!convertedArguments.Exact()) {
        Refuse(dialog, FillInWide(UiText(IDS_ARGUMENTS_CANNOT_BE_STORED), {convertedArguments.lost}));
        return std::nullopt;
    }
    start.arguments = convertedArguments.text;
    // A folder is a path like a link's: its short name where its own cannot be stored.
    const LinkInput folder = LinkFromPath(WideWindowTextOf(::GetDlgItem(dialog, IDC_LINK_START_IN)));
    if (!folder.link) {
        Refuse(dialog, folder.refusal);
        return std::nullopt;
    }
    start.startIn = *folder.link;
    if (!FitsInFile(start.arguments) || !FitsInFile(start.startIn)) {
        Refuse(dialog, LoadUiString(IDS_START_VALUE_TOO_LONG));
        return std::nullopt;
    }
    start.show = ShowOfItem(::SendMessageW(::GetDlgItem(dialog, IDC_LINK_SHOW), CB_GETCURSEL, 0, 0));
    return start;
}
}  // namespace LinkStartFields
