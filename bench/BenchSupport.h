#pragma once
// Shared by the benchmarks: the clock, medians, the harness's artifacts, and the one line
// format that scripts/bench gathers into its table.
#include <windows.h>

#include <string>
#include <vector>

class ProgramUnderTest;

// Milliseconds on the performance counter.
double NowMs();
double Median(std::vector<double> values);

// Polls every millisecond: the figures are tens of milliseconds, the 20 ms of WaitUntil too
// coarse.
template <typename Condition>
bool PollFor(Condition condition, double timeoutMs) {
    const double deadline = NowMs() + timeoutMs;
    while (!condition()) {
        if (NowMs() > deadline) return false;
        ::Sleep(1);
    }
    return true;
}

// Reads the harness's --name=value arguments; false (after a usage line on stderr) when one
// that the benchmarks copy into an installation is missing. Arguments it does not know are
// left to the caller, so benchmarks keep working when the harness learns new ones.
// Under Wine it also makes the fake browser, which has an icon of its own as every real
// browser does, the prefix's program for web pages, so that what the program finds and shows
// as the default browser is what users' machines give it (the prefix is the benchmarks' own).
bool ParseBenchArtifacts(int argc, char** argv, const char* usage);
bool UnderWine();
// The value of --name=value on the command line, as a Windows path; empty when absent.
std::string PathArgument(int argc, char** argv, const char* name);

// One row of scripts/bench's table: "row<TAB>figure<TAB>Vorlund<TAB>floor<TAB>comparison".
void PrintRow(const std::string& figure, const std::string& vorlund, const std::string& floor,
              const std::string& comparison);
// printf into a std::string.
std::string Format(const char* format, ...);

// A process handle for querying a started program's memory and times. ProgramUnderTest keeps
// its own handle to itself; this one is opened from the process id.
class QueryHandle {
public:
    explicit QueryHandle(DWORD pid);
    ~QueryHandle();
    QueryHandle(const QueryHandle&) = delete;
    QueryHandle& operator=(const QueryHandle&) = delete;
    HANDLE Get() const noexcept { return m_hProcess; }

private:
    HANDLE m_hProcess = nullptr;
};
