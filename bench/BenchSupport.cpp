#include "BenchSupport.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Artifacts.h"

double NowMs() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool UnderWine() {
    static const bool wine = ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

namespace {
bool SetClassValue(const std::string& key, const std::string& value) {
    HKEY handle = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = ::RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

// Wine's own handler for web pages, winebrowser.exe, has no icon.
void MakeFakeBrowserTheDefault(const std::string& browser) {
    const char* const kProgId = "VorlundBench.Page";
    const bool made = SetClassValue(std::string(kProgId) + "\\shell\\open\\command", "\"" + browser + "\" \"%1\"") &&
                      SetClassValue(".htm", kProgId) && SetClassValue(".html", kProgId);
    std::printf(made ? "web pages open with %s\n" : "could not make %s the browser for web pages\n", browser.c_str());
}
}  // namespace

bool ParseBenchArtifacts(int argc, char** argv, const char* usage) {
    Artifacts& artifacts = Artifacts::Mutable();
    artifacts.Parse(argc, argv);  // also false for options only the tests need
    const bool complete = !artifacts.vorlund.empty() && !artifacts.hookLibrary.empty() &&
                          !artifacts.recordingHook.empty() && !artifacts.probe.empty() &&
                          !artifacts.fakeBrowser.empty() && !artifacts.workRoot.empty();
    if (!complete)
        std::fprintf(stderr, "usage: %s --vorlund= --hooklib= --recording-hooklib= --probe= "
                             "--fake-browser= --work=\n", usage);
    if (complete && UnderWine()) MakeFakeBrowserTheDefault(artifacts.fakeBrowser);
    return complete;
}

std::string PathArgument(int argc, char** argv, const char* name) {
    const std::size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=')
            return ToWindowsPath(argv[i] + length + 1);
    return {};
}

void PrintRow(const std::string& figure, const std::string& vorlund, const std::string& floor,
              const std::string& comparison) {
    std::printf("row\t%s\t%s\t%s\t%s\n", figure.c_str(), vorlund.c_str(), floor.c_str(),
                comparison.c_str());
    std::fflush(stdout);
}

std::string Format(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

QueryHandle::QueryHandle(DWORD pid)
    : m_hProcess(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)) {}

QueryHandle::~QueryHandle() {
    if (m_hProcess) ::CloseHandle(m_hProcess);
}
