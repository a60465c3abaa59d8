; Vorlund installer: English texts, used where Windows is not Japanese. Every string here
; has its Japanese twin in Japanese.nsh, with the same name.
LangString SecProgramName ${LANG_ENGLISH} "Vorlund (required)"
LangString SecProgramDesc ${LANG_ENGLISH} "Installs Vorlund.exe, the keyboard-hook library VelComn.dll and README.txt into Program Files and adds a shortcut to the Start menu."
LangString SecSignInName ${LANG_ENGLISH} "Start at sign-in"
LangString SecSignInDesc ${LANG_ENGLISH} "Starts Vorlund whenever you sign in to Windows. You can change this later with the tray menu item $\"ログオン時に起動$\" (start at sign-in)."
LangString ClosingProgram ${LANG_ENGLISH} "Closing the running Vorlund..."
LangString CloseFailed ${LANG_ENGLISH} "The running Vorlund could not be closed.$\r$\nRight-click its icon in the notification area, choose $\"終了$\" (Exit), then press Retry."
LangString RegisteringSignIn ${LANG_ENGLISH} "Registering the start at sign-in..."
LangString SignInFailed ${LANG_ENGLISH} "The start at sign-in could not be registered (schtasks exit code: $0).$\r$\nVorlund itself is installed. You can register it later with the tray menu item $\"ログオン時に起動$\"."
LangString SignInRemoveFailed ${LANG_ENGLISH} "The start at sign-in (task $\"$1$\") could not be removed. Please delete it in Task Scheduler."
LangString RunProgram ${LANG_ENGLISH} "Start Vorlund"
LangString UnDeleteSettings ${LANG_ENGLISH} "Delete the settings file Vorlund.ini as well?$\r$\n$\r$\nChoose No to keep your favourite keys for a later installation."
LangString WelcomeText ${LANG_ENGLISH} "This installs Vorlund ${VERSION} on this computer.$\r$\n$\r$\nVorlund gives the thirty favourite keys of a keyboard their links and lives in the notification area.$\r$\n$\r$\nA running Vorlund is closed for the update and started again afterwards; your favourite keys (Vorlund.ini) are kept.$\r$\n$\r$\nClick Next to continue."
