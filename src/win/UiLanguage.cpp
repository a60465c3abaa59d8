#include "win/UiLanguage.h"

#include <map>
#include <mutex>
#include <utility>

#include "win/CodePage932.h"
#include "win/CriticalSection.h"

namespace {
UiLanguage g_language = UiLanguage::Japanese;

// The CP932 texts read so far, by language and id. Map nodes never move, so the pointers
// handed out stay valid; worker threads (the sign-in rules) read texts too.
CriticalSection g_textsLock;
std::map<std::pair<UiLanguage, UINT>, std::string> g_texts;

// type: a resource type number (6 strings, 4 menus, 5 dialogs).
const void* FindResourceData(WORD type, UINT id, UiLanguage language, DWORD* size = nullptr) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceExW(module, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), LangIdOf(language));
    // A resource only Japanese has (none should) still shows rather than nothing.
    if (!found && language != UiLanguage::Japanese)
        found = ::FindResourceExW(module, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), LangIdOf(UiLanguage::Japanese));
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    if (!loaded) return nullptr;
    if (size) *size = ::SizeofResource(module, found);
    return ::LockResource(loaded);
}

bool EqualsIgnoringCase(const std::wstring& text, const wchar_t* word) {
    return ::CompareStringOrdinal(text.c_str(), static_cast<int>(text.size()), word, -1, TRUE) == CSTR_EQUAL;
}
}  // namespace

UiLanguage ChooseUiLanguage(const std::wstring& setting, LANGID displayLanguage) noexcept {
    if (EqualsIgnoringCase(setting, L"ja")) return UiLanguage::Japanese;
    if (EqualsIgnoringCase(setting, L"en")) return UiLanguage::English;
    return PRIMARYLANGID(displayLanguage) == LANG_JAPANESE ? UiLanguage::Japanese : UiLanguage::English;
}

std::wstring ReadUiLanguageSetting(const std::wstring& settingsFile) {
    wchar_t value[16] = {};
    ::GetPrivateProfileStringW(L"Vorlund", L"Language", L"", value, 16, settingsFile.c_str());
    return value;
}

void SetUiLanguage(UiLanguage language) noexcept { g_language = language; }
UiLanguage CurrentUiLanguage() noexcept { return g_language; }

LANGID LangIdOf(UiLanguage language) noexcept {
    return language == UiLanguage::English ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
                                           : MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
}

std::wstring LoadUiString(UINT id, UiLanguage language) {
    // Strings come in blocks of sixteen, each a length and that many UTF-16 units.
    DWORD size = 0;
    const auto* block = static_cast<const WCHAR*>(FindResourceData(6, id / 16 + 1, language, &size));
    std::wstring text;
    const WCHAR* end = block ? block + size / sizeof(WCHAR) : nullptr;
    const WCHAR* at = block;
    for (UINT index = 0; at && at < end; ++index) {
        const WORD length = *at++;
        if (length > end - at) break;
        if (index == id % 16) {
            text.assign(at, length);
            break;
        }
        at += length;
    }
    // A block the language has may still lack this one text: then too the Japanese one shows.
    if (text.empty() && language != UiLanguage::Japanese) return LoadUiString(id, UiLanguage::Japanese);
    return text;
}

const char* UiText(UINT id) {
    const std::pair<UiLanguage, UINT> key{g_language, id};
    std::lock_guard<CriticalSection> lock(g_textsLock);
    auto found = g_texts.find(key);
    if (found == g_texts.end())
        found = g_texts.emplace(key, Cp932FromWide(LoadUiString(id, key.first)).text).first;
    return found->second.c_str();
}

HMENU LoadUiMenu(UINT id) {
    const void* menu = FindResourceData(4, id, g_language);
    return menu ? ::LoadMenuIndirectW(menu) : nullptr;
}

const DLGTEMPLATE* FindUiDialog(UINT id) {
    return static_cast<const DLGTEMPLATE*>(FindResourceData(5, id, g_language));
}
