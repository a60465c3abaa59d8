#include "shell/SignInRules.h"

#include "res/texts.h"
#include "win/WriteProtection.h"

namespace {
constexpr wchar_t kHookLibraryName[] = L"VelComn.dll";

struct SplitPath {
    std::wstring folder;
    std::wstring file;
};

SplitPath Split(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return {};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

// The final path of the program, or empty.
std::wstring FinalProgramPath(SignInSystem& system, const std::wstring& programPath) {
    const SplitPath parts = Split(programPath);
    if (parts.folder.empty() || parts.file.empty()) return {};
    const std::wstring folder = system.FinalPath(parts.folder);
    return folder.empty() ? std::wstring() : folder + L'\\' + parts.file;
}

bool PlaceProtected(SignInSystem& system, const std::wstring& finalProgram) {
    const SplitPath parts = Split(finalProgram);
    return !parts.folder.empty() && system.IsProtected(parts.folder, {parts.file, kHookLibraryName});
}
}  // namespace

SignInStatus SystemSignIn::Query(const std::vector<std::wstring>& thisProgram) {
    return SignInTask::Query(thisProgram);
}
bool SystemSignIn::Register(const std::wstring& command) { return SignInTask::Register(command); }
bool SystemSignIn::Remove() { return SignInTask::Remove(); }
std::wstring SystemSignIn::FinalPath(const std::wstring& folder) { return FinalPathOf(folder); }
bool SystemSignIn::IsProtected(const std::wstring& finalFolder, const std::vector<std::wstring>& files) {
    return IsPlaceProtected(finalFolder, files);
}

std::wstring CheckedSignInCommand(SignInSystem& system, const std::wstring& programPath, unsigned* why) {
    *why = IDS_SIGNIN_NEEDS_PROTECTED_FOLDER;
    std::wstring finalProgram = FinalProgramPath(system, programPath);
    if (finalProgram.empty()) return {};
    if (programPath.find(L'%') != std::wstring::npos || finalProgram.find(L'%') != std::wstring::npos) {
        *why = IDS_SIGNIN_PATH_HAS_PERCENT;
        return {};
    }
    if (!PlaceProtected(system, finalProgram)) return {};
    *why = 0;
    return finalProgram;
}

std::vector<std::wstring> PathsOfThisProgram(SignInSystem& system, const std::wstring& programPath) {
    std::vector<std::wstring> paths{programPath};
    std::wstring finalProgram = FinalProgramPath(system, programPath);
    if (!finalProgram.empty() && finalProgram != programPath) paths.push_back(finalProgram);
    return paths;
}

SignInItem ItemFor(SignInStatus status, bool placeProtected) noexcept {
    switch (status) {
        case SignInStatus::Unknown:
        case SignInStatus::Unreachable: return SignInItem::Unavailable;
        case SignInStatus::ThisProgram: return placeProtected ? SignInItem::On : SignInItem::OfferRemoval;
        case SignInStatus::Absent:
        case SignInStatus::OtherProgram: break;
    }
    return SignInItem::Off;
}

SignInOutcome ToggleSignIn(SignInSystem& system, const std::wstring& programPath) {
    const SignInStatus before = system.Query(PathsOfThisProgram(system, programPath));
    if (before == SignInStatus::Unreachable || before == SignInStatus::Unknown)
        return {IDS_SIGNIN_SCHEDULER_UNREACHABLE};
    unsigned why = 0;
    const std::wstring command = CheckedSignInCommand(system, programPath, &why);
    if (before == SignInStatus::ThisProgram)
        return command.empty() ? SignInOutcome{IDS_SIGNIN_OFFER_REMOVAL, true} : RemoveSignInTask(system);
    if (command.empty()) return {why};
    return {system.Register(command) ? 0u : IDS_SIGNIN_TASK_NOT_REGISTERED};
}

SignInOutcome RemoveSignInTask(SignInSystem& system) {
    return {system.Remove() ? 0u : IDS_SIGNIN_TASK_NOT_DELETED};
}
