#include "shell/SignInTask.h"

#define SECURITY_WIN32
#include <security.h>
#include <taskschd.h>

#include <vector>

#include "res/resource.h"
#include "win/ComPtr.h"

namespace {
// Defined here: the MinGW import libraries do not carry the scheduler's ids.
constexpr CLSID kClsidTaskScheduler = {0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
constexpr IID kIidTaskService = {0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

std::wstring EscapeXml(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
            case L'&': escaped += L"&amp;"; break;
            case L'<': escaped += L"&lt;"; break;
            case L'>': escaped += L"&gt;"; break;
            case L'"': escaped += L"&quot;"; break;
            case L'\'': escaped += L"&apos;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

void ReplaceAll(std::wstring& text, const std::wstring& placeholder, const std::wstring& value) {
    for (std::size_t at = text.find(placeholder); at != std::wstring::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
}

UniqueBstr Bstr(const std::wstring& text) { return UniqueBstr(::SysAllocString(text.c_str())); }

// The scheduler's root folder, or empty when the service cannot be reached.
ComPtr<ITaskFolder> RootFolder() {
    ComPtr<ITaskService> service;
    if (FAILED(::CoCreateInstance(kClsidTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, kIidTaskService,
                                  reinterpret_cast<void**>(service.Put()))))
        return ComPtr<ITaskFolder>();
    VARIANT none{};
    none.vt = VT_EMPTY;
    if (FAILED(service->Connect(none, none, none, none))) return ComPtr<ITaskFolder>();
    ComPtr<ITaskFolder> root;
    UniqueBstr path = Bstr(L"\\");
    if (!path || FAILED(service->GetFolder(path.Get(), root.Put()))) return ComPtr<ITaskFolder>();
    return root;
}
}  // namespace

std::wstring SignInTask::CurrentUserId() {
    ULONG size = 0;
    ::GetUserNameExW(NameSamCompatible, nullptr, &size);
    if (size > 0) {
        std::vector<wchar_t> name(size + 1);
        if (::GetUserNameExW(NameSamCompatible, name.data(), &size)) return name.data();
    }
    wchar_t plain[257] = {};
    DWORD length = 257;
    return ::GetUserNameW(plain, &length) ? plain : L"";
}

std::wstring SignInTask::Name() {
    std::wstring user = CurrentUserId();
    const std::size_t slash = user.rfind(L'\\');
    if (slash != std::wstring::npos) user.erase(0, slash + 1);
    return L"Vorlund (" + user + L")";
}

std::wstring SignInTask::ProgramPath() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return std::wstring(path.data(), length);
        path.resize(path.size() * 2);
    }
}

std::wstring SignInTask::BuildXml(const std::wstring& userId, const std::wstring& command) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_SIGNIN_TASK), MAKEINTRESOURCEA(10));
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    const int size = found ? static_cast<int>(::SizeofResource(module, found)) : 0;
    if (!bytes || size <= 0) return {};
    // The template is UTF-8 text.
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, bytes, size, nullptr, 0);
    std::wstring xml(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes, size, xml.data(), length);
    ReplaceAll(xml, L"$(UserId)", EscapeXml(userId));
    ReplaceAll(xml, L"$(Command)", EscapeXml(command));
    return xml;
}

bool SignInTask::Exists() {
    ComPtr<ITaskFolder> root = RootFolder();
    UniqueBstr name = Bstr(Name());
    if (!root || !name) return false;
    ComPtr<IRegisteredTask> task;
    return root->GetTask(name.Get(), task.Put()) == S_OK && task;
}

bool SignInTask::Register() {
    const std::wstring user = CurrentUserId();
    const std::wstring xml = BuildXml(user, ProgramPath());
    ComPtr<ITaskFolder> root = RootFolder();
    UniqueBstr name = Bstr(Name());
    UniqueBstr definition = Bstr(xml);
    if (xml.empty() || !root || !name || !definition) return false;
    VARIANT none{};
    none.vt = VT_EMPTY;
    ComPtr<IRegisteredTask> registered;
    return SUCCEEDED(root->RegisterTask(name.Get(), definition.Get(), TASK_CREATE_OR_UPDATE, none, none,
                                        TASK_LOGON_INTERACTIVE_TOKEN, none, registered.Put()));
}

bool SignInTask::Remove() {
    ComPtr<ITaskFolder> root = RootFolder();
    UniqueBstr name = Bstr(Name());
    return root && name && SUCCEEDED(root->DeleteTask(name.Get(), 0));
}
