#pragma once
#include "zcmd/system/System.h"

#include <cerrno>
#include <map>
#include <string>
#include <vector>

// A stand-in for the operating system under zcmd: a file tree in memory,
// a current folder, handles 1 and 2 captured, programs "started" without
// running (each ends with `programExitCode`), and every call that changes
// something recorded, in order, with absolute paths.
class StandInSystem final : public zcmd::System {
public:
    struct Entry {
        zcmd::FileKind kind = zcmd::FileKind::File;
        std::string content;
        bool executable = false;
        std::uint64_t inode = 0;
    };

    StandInSystem();
    void addFolder(const std::string &path);
    void addFile(const std::string &path, const std::string &content, bool executable = false);

    std::map<std::string, Entry> tree;
    std::string folder = "/";
    std::vector<std::string> changes;           // "makeFolder /a", "startChild /bin/x a b" ...
    std::vector<zcmd::LaunchRequest> started;
    std::string output;
    std::string errors;
    int programExitCode = 0;
    std::vector<zcmd::ProcessId> running; // other processes, all "ours"

    std::string currentFolder() override { return folder; }
    int changeFolder(const std::string &path) override;
    zcmd::FileStatus statusOf(const std::string &path) override { return linkStatusOf(path); }
    zcmd::FileStatus linkStatusOf(const std::string &path) override;
    bool isExecutable(const std::string &path) override;
    std::vector<std::string> listFolder(const std::string &path) override;
    int makeFolder(const std::string &path) override;
    int removeFolder(const std::string &path) override;
    int removeFile(const std::string &path) override;
    int renameEntry(const std::string &from, const std::string &to) override;

    int openFile(const std::string &path, zcmd::OpenMode mode, unsigned permissions) override;
    long readHandle(int handle, char *buffer, std::size_t size) override;
    long readAt(int handle, char *buffer, std::size_t size, std::uint64_t offset) override;
    bool writeAll(int handle, const char *data, std::size_t size) override;
    zcmd::FileStatus handleStatus(int handle) override;
    int closeHandle(int handle) override;
    bool handleIsOpen(int handle) override { return handle <= 2 || handles_.count(handle); }
    int copyHandleAbove(int, int) override { return -1; }
    bool putHandle(int, int) override { return false; }
    void makeInheritable(int) override {}
    bool makePipe(int[2]) override { return false; }
    bool isTerminal(int) override { return false; }
    void waitForKey() override {}

    zcmd::ProcessId forkProcess() override;
    zcmd::ProcessId startChild(const zcmd::LaunchRequest &request,
                               void (*becomeProgram)(const zcmd::LaunchRequest &)) override;
    int replaceProcess(const zcmd::LaunchRequest &) override { return 1; }
    [[noreturn]] void exitProcess(int) override;
    std::optional<int> waitForExit(zcmd::ProcessId child) override;
    std::optional<int> exitedYet(zcmd::ProcessId child, bool &) override { return waitForExit(child); }
    zcmd::DetachedOutcome startDetached(const zcmd::LaunchRequest &request,
                                        const zcmd::DetachedStart &) override;
    int endProcess(zcmd::ProcessId process, bool force) override;
    bool processExists(zcmd::ProcessId process) override;
    zcmd::ProcessId ownProcessId() override { return 1; }
    std::vector<zcmd::ProcessId> processIds() override { return {}; }
    zcmd::ProcessInfo processInfo(zcmd::ProcessId process) override;
    std::string ownProgramPath() override { return "/zcmd"; }
    void ignoreBrokenPipe() override {}
    char **environment() override { return nullptr; }
    const char *environmentValue(const char *) override { return nullptr; }
    std::string handlePath(int handle) override { return "/fd/" + std::to_string(handle); }

    zcmd::JobLockResult takeJobLock(const char *) override { return zcmd::JobLockResult::NoLockFile; }
    int openSharedLocked(const std::string &path) override;

    std::int64_t steadyMs() override { return 0; }
    std::unique_ptr<zcmd::LinkProbe> probeLink(zcmd::ProcessId) override { return nullptr; }

    // The path made absolute against the stand-in's folder, "." and ".." taken.
    std::string absolute(const std::string &path) const;

private:
    struct Handle {
        std::string path;
        bool writes = false;
        std::uint64_t at = 0;
    };
    Entry *find(const std::string &path);
    std::map<int, Handle> handles_;
    int nextHandle_ = 100;
    std::uint64_t nextInode_ = 1;
};
