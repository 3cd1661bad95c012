#pragma once
#include "zcmd/system/System.h"

namespace zcmd {

// The real system: POSIX and Linux calls (see System for the contract).
class PosixSystem final : public System {
public:
    std::string currentFolder() override;
    int changeFolder(const std::string &path) override;
    FileStatus statusOf(const std::string &path) override;
    FileStatus linkStatusOf(const std::string &path) override;
    bool isExecutable(const std::string &path) override;
    std::vector<std::string> listFolder(const std::string &path) override;
    int makeFolder(const std::string &path) override;
    int removeFolder(const std::string &path) override;
    int removeFile(const std::string &path) override;
    int renameEntry(const std::string &from, const std::string &to) override;

    int openFile(const std::string &path, OpenMode mode, unsigned permissions) override;
    long readHandle(int handle, char *buffer, std::size_t size) override;
    long readAt(int handle, char *buffer, std::size_t size, std::uint64_t offset) override;
    bool writeAll(int handle, const char *data, std::size_t size) override;
    FileStatus handleStatus(int handle) override;
    int closeHandle(int handle) override;
    bool handleIsOpen(int handle) override;
    int copyHandleAbove(int handle, int lowest) override;
    bool putHandle(int from, int to) override;
    void makeInheritable(int handle) override;
    bool makePipe(int ends[2]) override;
    bool isTerminal(int handle) override;
    void waitForKey() override;

    ProcessId forkProcess() override;
    ProcessId startChild(const LaunchRequest &request,
                         void (*becomeProgram)(const LaunchRequest &)) override;
    int replaceProcess(const LaunchRequest &request) override;
    [[noreturn]] void exitProcess(int code) override;
    std::optional<int> waitForExit(ProcessId child) override;
    std::optional<int> exitedYet(ProcessId child, bool &lost) override;
    DetachedOutcome startDetached(const LaunchRequest &request,
                                  const DetachedStart &options) override;
    int endProcess(ProcessId process, bool force) override;
    bool processExists(ProcessId process) override;
    ProcessId ownProcessId() override;
    std::vector<ProcessId> processIds() override;
    ProcessInfo processInfo(ProcessId process) override;
    std::string ownProgramPath() override;
    void ignoreBrokenPipe() override;
    char **environment() override;
    const char *environmentValue(const char *name) override;
    std::string handlePath(int handle) override;

    JobLockResult takeJobLock(const char *fileName) override;
    int openSharedLocked(const std::string &path) override;

    std::int64_t steadyMs() override;
    std::unique_ptr<LinkProbe> probeLink(ProcessId child) override;
};

} // namespace zcmd
