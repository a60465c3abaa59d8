#pragma once
// Which language the user interface speaks, and its texts, menus and dialog templates in
// that language. Japanese or English, chosen once at start-up; every text, menu and dialog
// is then found by that language explicitly (FindResourceEx), not by the thread's UI
// language, which the system may set differently from the choice and which differs between
// systems in what it falls back to.
#include <windows.h>

#include <string>

enum class UiLanguage { Japanese, English };

// The choice: Language=ja or Language=en in the settings file's [Vorlund] section (any case),
// else the Windows display language: Japanese for Japanese, English for every other.
// setting is the value as read, empty when the key is absent.
UiLanguage ChooseUiLanguage(const std::wstring& setting, LANGID displayLanguage) noexcept;
// The [Vorlund] Language value of the settings file, empty when there is none. Only read.
std::wstring ReadUiLanguageSetting(const std::wstring& settingsFile);

// The language of the rest of the run; Japanese until set.
void SetUiLanguage(UiLanguage language) noexcept;
UiLanguage CurrentUiLanguage() noexcept;
LANGID LangIdOf(UiLanguage language) noexcept;

// The string resource in the language; empty when neither it nor Japanese has one.
std::wstring LoadUiString(UINT id, UiLanguage language);
inline std::wstring LoadUiString(UINT id) { return LoadUiString(id, CurrentUiLanguage()); }
// The same in code page 932, the program's own character set, for code that builds its texts
// in CP932 (user captions and links are CP932). Read once per language and kept for the run,
// like the literals these texts once were, so the pointer stays valid.
const char* UiText(UINT id);

// The menu or dialog template in the current language (else the Japanese one); null when
// there is none. The template lives as long as the program's module.
HMENU LoadUiMenu(UINT id);
const DLGTEMPLATE* FindUiDialog(UINT id);
