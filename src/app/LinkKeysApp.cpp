#include "app/LinkKeysApp.h"

#include "res/texts.h"
#include "win/UiLanguage.h"
#include "browser/DefaultBrowser.h"
#include "keys/SettingsFile.h"
#include "keys/SettingsFileEncoding.h"
#include "win/CodePage932.h"
#include "res/resource.h"
#include "shell/AboutDialog.h"
#include "shell/CMainFrame.h"
#include "win/DllSearch.h"
#include "win/ProfileFile.h"
#include "win/TextFormat.h"
#include "win/WindowText.h"

namespace {
constexpr char kInstanceMutexName[] = "h_VEL_Brisolt_PrevInstance";
}  // namespace

LinkKeysApp::LinkKeysApp() noexcept = default;

LinkKeysApp::~LinkKeysApp() = default;

LinkKeysApp& LinkKeysApp::Get() noexcept { return static_cast<LinkKeysApp&>(*WinApp::Current()); }

BOOL LinkKeysApp::InitInstance() {
    RestrictDllSearchPath();
    // The display language speaks until the settings file, once found, may say otherwise.
    SetUiLanguage(ChooseUiLanguage({}, ::GetUserDefaultUILanguage()));
    // Before anything in the program's folder is read, written or loaded: a folder whose name
    // code page 932 cannot hold (nor its short form) would be some other folder.
    std::wstring unusable;
    if (!AppDirectoryOfModule(Instance(), m_szAppDir, &unusable)) {
        MessageBoxWide(nullptr, FillInWide(UiText(IDS_PROGRAM_FOLDER_UNUSABLE), {unusable}), UiText(IDS_APP_NAME),
                       MB_OK | MB_ICONSTOP);
        SetQuitCode(kExitProgramFolderUnusable);
        return FALSE;
    }
    // First of all, so that even the box of a second copy speaks the chosen language.
    SetUiLanguage(ChooseUiLanguage(ReadUiLanguageSetting(WideFromCp932(m_szAppDir) + L"Vorlund.ini"),
                                   ::GetUserDefaultUILanguage()));

    // Another copy in this logon holds the mutex; the first copy goes on undisturbed. Two
    // copies started at the same moment can both miss the other in the test: whichever
    // creates the mutex second finds that it already existed, and ends the same way.
    if (HANDLE other = ::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kInstanceMutexName)) {
        ::CloseHandle(other);
        return RefuseSecondCopy();
    }
    m_hMutex.Reset(::CreateMutexA(nullptr, FALSE, kInstanceMutexName));
    if (!m_hMutex) return FALSE;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        m_hMutex.Reset();
        return RefuseSecondCopy();
    }

    PrepareSettingsFile();
    LoadSettings();
    DetectDefaultBrowser();
    // No message is admitted from processes of a lower integrity level for the key presses:
    // the hook library's low-level hook runs on this program's own thread and posts from here.
    // Admitting WM_KEYDOWN or WM_KEYUP would let any unelevated program type into the elevated
    // dialogs (and the file dialog, whose context menu can start programs elevated).

    m_pMainFrame = std::make_unique<CMainFrame>();
    SetMainWindow(m_pMainFrame.get());
    if (!m_pMainFrame->LoadFrame(IDR_MAINFRAME)) {
        // Without its main window the program could neither be reached nor ended.
        SetMainWindow(nullptr);
        m_pMainFrame.reset();
        return FALSE;
    }
    ::ShowWindow(m_pMainFrame->Hwnd(), SW_HIDE);
    ::UpdateWindow(m_pMainFrame->Hwnd());
    return TRUE;
}

BOOL LinkKeysApp::RefuseSecondCopy() {
    MessageBoxCp932(nullptr, UiText(IDS_ALREADY_RUNNING), UiText(IDS_APP_NAME), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
}

int LinkKeysApp::ExitInstance() {
    if (!m_keySets.IsEmpty()) SaveSettings();
    m_confirmedKeySets.reset();
    m_keySets.Clear();
    // The program never owns the mutex; the handle closes with the application object.
    if (m_hMutex) ::ReleaseMutex(m_hMutex.Get());
    return WinApp::ExitInstance();
}

bool LinkKeysApp::OnCommand(UINT id) {
    if (id == ID_APP_ABOUT) {
        OnAppAbout();
        return true;
    }
    return WinApp::OnCommand(id);
}

void LinkKeysApp::OnAppAbout() {
    CMainFrame* frame = MainFrame();
    if (!frame || frame->IsDialogOpen()) return;
    CMainFrame::ModalDialogScope modal(*frame);
    AboutDialog about(::GetDesktopWindow());
    about.DoModal();
}

void LinkKeysApp::PrepareSettingsFile() {
    // First, so that what comes back is converted and read like the file it was. What cannot
    // come back stays where it is, and no save is made over it (SettingsFile::Save).
    SettingsFile(m_szAppDir).RecoverHalfDoneSave();
    const SettingsFileEncoding encoding = ConvertMarkedSettingsFile(m_szAppDir);
    if (encoding.outcome != SettingsFileEncoding::Outcome::Unconvertible) return;
    // The user's own edit stays exactly as it is: not read, and never written in this run.
    m_bSettingsFileLocked = true;
    const std::wstring name = WideFromCp932(encoding.encoding);
    const std::wstring text = encoding.lost.empty()
                                  ? FillInWide(UiText(IDS_SETTINGS_FILE_NOT_CONVERTED), {name})
                                  : FillInWide(UiText(IDS_SETTINGS_FILE_NOT_CONVERTIBLE), {name, encoding.lost});
    MessageBoxWide(nullptr, text, UiText(IDS_APP_NAME), MB_OK | MB_ICONEXCLAMATION);
}

int LinkKeysApp::LoadSettings() {
    SettingsFile(m_bSettingsFileLocked ? "" : m_szAppDir).Load(m_keySets);
    return 0;
}

bool LinkKeysApp::SaveSettings() {
    if (m_bSessionEnded || m_bSettingsFileLocked) return false;
    const SettingsFile file(m_szAppDir);
    const bool saved = file.Save(m_keySets);
    m_bSettingsSetAside = !saved && file.IsSetAside();
    return saved;
}

const char* LinkKeysApp::SaveFailure() const noexcept {
    if (m_bSettingsFileLocked) return UiText(IDS_SAVE_REFUSED_UNCONVERTED_FILE);
    if (m_bSettingsSetAside) return UiText(IDS_SAVE_FAILED_SET_ASIDE);
    return ProfileFile::CodePageKeepsBytes(::GetACP()) ? UiText(IDS_SAVE_FAILED) : UiText(IDS_SAVE_FAILED_CODE_PAGE);
}

void LinkKeysApp::EndSession() {
    if (m_bSessionEnded) return;
    if (m_confirmedKeySets) m_keySets = *m_confirmedKeySets;
    ExitInstance();
    m_bSessionEnded = true;
}

HICON LinkKeysApp::GetBrowserIcon() const noexcept {
    if (!m_bBrowserIconRead) {
        m_bBrowserIconRead = true;
        try {
            m_hBrowserIcon = LoadBrowserIcon(m_szBrowserPath);
        } catch (...) {
        }
    }
    return m_hBrowserIcon.Get();
}

void LinkKeysApp::DetectDefaultBrowser() {
    ::DetectDefaultBrowser(m_szAppDir, m_szBrowserPath);
}
