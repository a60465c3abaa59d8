#include "Artifacts.h"

#include <cstring>

Artifacts& Artifacts::Mutable() {
    static Artifacts artifacts;
    return artifacts;
}

const Artifacts& Artifacts::Get() { return Mutable(); }

std::string ToWindowsPath(const std::string& path) {
    std::string result = (!path.empty() && path[0] == '/') ? "Z:" + path : path;
    for (char& c : result)
        if (c == '/') c = '\\';
    return result;
}

std::string ToUnixPath(const std::string& path) {
    if (path.size() < 2 || (path[0] != 'Z' && path[0] != 'z') || path[1] != ':') return path;
    std::string result = path.substr(2);
    for (char& c : result)
        if (c == '\\') c = '/';
    return result;
}

bool Artifacts::Parse(int argc, char** argv) {
    struct Option {
        const char* name;
        std::string* target;
    } options[] = {{"--vorlund=", &vorlund},
                   {"--hooklib=", &hookLibrary},
                   {"--recording-hooklib=", &recordingHook},
                   {"--no-exports-hooklib=", &noExportsHook},
                   {"--planted-library=", &plantedLibrary},
                   {"--probe=", &probe},
                   {"--fake-browser=", &fakeBrowser},
                   {"--work=", &workRoot}};
    for (int i = 1; i < argc; ++i)
        for (const Option& option : options)
            if (std::strncmp(argv[i], option.name, std::strlen(option.name)) == 0)
                *option.target = ToWindowsPath(argv[i] + std::strlen(option.name));
    // The libraries without entries are needed only by the tests that use them.
    for (const Option& option : options)
        if (option.target->empty() && option.target != &noExportsHook && option.target != &plantedLibrary)
            return false;
    return true;
}
