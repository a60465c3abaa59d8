#include "shell/SignInTask.h"

#include <taskschd.h>

#include <vector>

#include "res/resource.h"
#include "win/ComPtr.h"
#include "win/SystemLibrary.h"
#include "win/UniqueHandle.h"
#include "win/LazyImports.h"

namespace {
// Defined here: the MinGW import libraries do not carry the scheduler's ids.
constexpr CLSID kClsidTaskScheduler = {0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
constexpr IID kIidTaskService = {0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};
constexpr IID kIidExecAction = {0x4c3d624d, 0xfd6b, 0x49a3, {0xb9, 0xb7, 0x09, 0xcb, 0x3c, 0xd3, 0xf0, 0x47}};

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

UniqueBstr Bstr(const std::wstring& text) { return UniqueBstr(lazy::SysAllocString(text.c_str())); }

// The scheduler's root folder, or empty when the service cannot be reached.
ComPtr<ITaskFolder> RootFolder() {
    ComPtr<ITaskService> service;
    if (FAILED(lazy::CoCreateInstance(kClsidTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, kIidTaskService,
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
    // From the process token (advapi32, a known DLL): the name service of secur32 would be a
    // load-time import that Windows looks for beside the program first.
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    UniqueKernelHandle owned(token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
    PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    wchar_t name[257] = {};
    wchar_t domain[257] = {};
    DWORD nameLength = 257;
    DWORD domainLength = 257;
    SID_NAME_USE use{};
    if (!::LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) return {};
    return domain[0] ? std::wstring(domain) + L"\\" + name : std::wstring(name);
}

std::wstring SignInTask::Name() { return NameFor(CurrentUserId()); }

std::wstring SignInTask::NameFor(const std::wstring& userId) {
    // A task's name may not hold a backslash (it separates folders).
    const std::size_t slash = userId.find(L'\\');
    if (slash == std::wstring::npos) return L"Vorlund (" + userId + L")";
    return L"Vorlund (" + userId.substr(slash + 1) + L"@" + userId.substr(0, slash) + L")";
}

std::wstring SignInTask::ProgramPath() { return ModulePath(nullptr); }

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

SignInStatus SignInTask::Query(const std::vector<std::wstring>& thisProgram) {
    ComPtr<ITaskFolder> root = RootFolder();
    UniqueBstr name = Bstr(Name());
    if (!root || !name) return SignInStatus::Unreachable;
    ComPtr<IRegisteredTask> task;
    const HRESULT found = root->GetTask(name.Get(), task.Put());
    if (found == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || found == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))
        return SignInStatus::Absent;
    if (found != S_OK || !task) return SignInStatus::Unreachable;
    // Its first action: the program it starts.
    ComPtr<ITaskDefinition> definition;
    ComPtr<IActionCollection> actions;
    ComPtr<IAction> first;
    if (FAILED(task->get_Definition(definition.Put())) || !definition ||
        FAILED(definition->get_Actions(actions.Put())) || !actions || FAILED(actions->get_Item(1, first.Put())))
        return SignInStatus::OtherProgram;
    auto exec = first.As<IExecAction>(kIidExecAction);
    BSTR path = nullptr;
    if (!exec || FAILED(exec->get_Path(&path)) || !path) return SignInStatus::OtherProgram;
    UniqueBstr owned(path);
    std::wstring command(path);
    if (command.size() >= 2 && command.front() == L'"' && command.back() == L'"')
        command = command.substr(1, command.size() - 2);
    for (const std::wstring& program : thisProgram)
        if (::CompareStringOrdinal(command.c_str(), static_cast<int>(command.size()), program.c_str(),
                                   static_cast<int>(program.size()), TRUE) == CSTR_EQUAL)
            return SignInStatus::ThisProgram;
    return SignInStatus::OtherProgram;
}

bool SignInTask::Register(const std::wstring& command) {
    const std::wstring user = CurrentUserId();
    const std::wstring xml = BuildXml(user, command);
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
