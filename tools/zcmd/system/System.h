#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zcmd {

using ProcessId = int;

// A program to start: the file, its argv (the program name first), its
// whole environment ("NAME=value") and the handles it keeps (open in the
// caller, close-on-exec there).
struct LaunchRequest {
    std::string path;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    std::vector<int> inherited;
};

// How "start" runs a program: detached, in a session of its own, with the
// default signal handling, outliving the script.
struct DetachedStart {
    std::string folder;       // current folder of the program; empty: this one
    bool shareOutput = false; // keep the script's handles; else all on the null device
    bool wait = false;        // wait for its end
};

struct DetachedOutcome {
    enum class Result {
        Started,
        NoResources,   // no pipe or process could be made
        ProgramFailed, // the program (or its folder) could not be entered; see `error`
    };
    Result result = Result::NoResources;
    int error = 0;    // errno of ProgramFailed
    int exitCode = 0; // with DetachedStart::wait
};

enum class FileKind { Missing, File, Folder, Link, Other };

struct FileStatus {
    FileKind kind = FileKind::Missing;
    int error = 0; // errno when Missing
    std::uint64_t size = 0;
    unsigned permissions = 0; // the 0777 bits
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool exists() const { return kind != FileKind::Missing; }
    bool sameFileAs(const FileStatus &other) const
    {
        return exists() && other.exists() && device == other.device && inode == other.inode;
    }
};

enum class OpenMode {
    Read,
    Write,  // made if missing, emptied if not
    Append, // made if missing, written at its end
};

// One other process, as "taskkill" sees it.
struct ProcessInfo {
    std::string executableName; // the base name of its program file; empty if hidden
    std::string commandName;    // the system's short command name, line end removed
    bool ownedByUs = false;     // its real user is our effective user
    bool ended = false;         // a zombie, or gone
};

// Watches a running PuTTY tool's link to the device (see PosixTransferProbe).
class LinkProbe {
public:
    virtual ~LinkProbe() = default;
    // Whether anything moved since the last call (the first compares with nothing).
    virtual bool moved(std::int64_t sinceLastMs) = 0;
    // Whether its sockets could be looked at (at the last call to moved).
    virtual bool seesSockets() const = 0;
    // Waits up to `ms`, less when the process ends first.
    virtual void waitAWhile(int ms) = 0;
};

enum class JobLockResult { Taken, NoLockFile, Busy, Refused };

// Every way zcmd reaches the operating system. The interpreter, the parser
// and the commands use this only, through System::current(), so a stand-in
// can take the real system's place.
//
// Handles are small integers: 0, 1 and 2 are the standard ones. Handles this
// layer opens are not inherited by started programs unless a call says so.
// Calls that return an `int` error give 0 on success and an errno value
// (<cerrno>) on failure; interrupted calls are retried inside.
class System {
public:
    virtual ~System() = default;

    // The system in use: the real one unless a stand-in was put in its place.
    static System &current();
    // Puts `replacement` (null: the real system) in use; returns the one it replaces.
    static System *replace(System *replacement);

    static constexpr const char *kNullDevice = "/dev/null";

    // Folders and names.
    // The current folder as an absolute path; "" when it cannot be told
    // (removed, or too long).
    virtual std::string currentFolder() = 0;
    virtual int changeFolder(const std::string &path) = 0;
    // What `path` names, links followed (statusOf) or not (linkStatusOf).
    virtual FileStatus statusOf(const std::string &path) = 0;
    virtual FileStatus linkStatusOf(const std::string &path) = 0;
    // Whether this user may run the file.
    virtual bool isExecutable(const std::string &path) = 0;
    // The folder's entries without "." and "..", in no order; nothing when
    // it cannot be read ("" is the current folder).
    virtual std::vector<std::string> listFolder(const std::string &path) = 0;
    virtual int makeFolder(const std::string &path) = 0;    // one level; EEXIST if there
    virtual int removeFolder(const std::string &path) = 0;  // empty ones only
    virtual int removeFile(const std::string &path) = 0;    // a link goes, not its target
    virtual int renameEntry(const std::string &from, const std::string &to) = 0;

    // File contents and handles.
    // A new handle, or minus the errno. `permissions` for a file it makes.
    virtual int openFile(const std::string &path, OpenMode mode, unsigned permissions = 0666) = 0;
    // Bytes read (0 at the end), or -1.
    virtual long readHandle(int handle, char *buffer, std::size_t size) = 0;
    virtual long readAt(int handle, char *buffer, std::size_t size, std::uint64_t offset) = 0;
    // Writes all of it; false when the handle stops taking bytes.
    virtual bool writeAll(int handle, const char *data, std::size_t size) = 0;
    virtual FileStatus handleStatus(int handle) = 0;
    virtual int closeHandle(int handle) = 0;
    virtual bool handleIsOpen(int handle) = 0;
    // A copy of `handle` numbered `lowest` or above, not inherited; -1 if none.
    virtual int copyHandleAbove(int handle, int lowest) = 0;
    // Makes `to` a copy of `from` (inherited by started programs).
    virtual bool putHandle(int from, int to) = 0;
    virtual void makeInheritable(int handle) = 0;
    // A pipe: [0] reads, [1] writes; false when none can be made.
    virtual bool makePipe(int ends[2]) = 0;
    virtual bool isTerminal(int handle) = 0;
    // Waits for one key on standard input, without echo when it is a terminal.
    virtual void waitForKey() = 0;

    // Processes.
    // A copy of this process: 0 in the copy, its id here, -1 on failure.
    virtual ProcessId forkProcess() = 0;
    // A child process that shares this one's handles and runs
    // `becomeProgram(request)`, which replaces it by the program (and ends
    // it if that fails); the child's id, -1 when none could be made.
    virtual ProcessId startChild(const LaunchRequest &request,
                                 void (*becomeProgram)(const LaunchRequest &)) = 0;
    // Replaces this process by the program; returns its errno only on failure.
    virtual int replaceProcess(const LaunchRequest &request) = 0;
    [[noreturn]] virtual void exitProcess(int code) = 0;
    // Waits for a child's end: its exit code, 3 when it aborted, 1 when
    // another signal ended it; nothing when it cannot be waited for.
    virtual std::optional<int> waitForExit(ProcessId child) = 0;
    // Without waiting: the exit code once it ended; nothing while it runs.
    // `lost` is set when it cannot be waited for.
    virtual std::optional<int> exitedYet(ProcessId child, bool &lost) = 0;
    virtual DetachedOutcome startDetached(const LaunchRequest &request,
                                          const DetachedStart &options) = 0;
    // Asks the process to end (or ends it, `force`); 0 or errno (ESRCH: gone).
    virtual int endProcess(ProcessId process, bool force) = 0;
    virtual bool processExists(ProcessId process) = 0;
    virtual ProcessId ownProcessId() = 0;
    virtual std::vector<ProcessId> processIds() = 0;
    virtual ProcessInfo processInfo(ProcessId process) = 0;
    // This program's file; "" when it cannot be told.
    virtual std::string ownProgramPath() = 0;
    // A reader that went away gives write errors, never ends this process.
    virtual void ignoreBrokenPipe() = 0;
    // This process's environment: "NAME=value" entries, a null one last.
    virtual char **environment() = 0;
    // One variable of it; null when it is not set.
    virtual const char *environmentValue(const char *name) = 0;
    // The name a started program opens an inherited handle by.
    virtual std::string handlePath(int handle) = 0;

    // Locks.
    // The job lock (JobLock.h) on `fileName` in the current folder, held
    // for the rest of this process and inherited by the programs it waits for.
    virtual JobLockResult takeJobLock(const char *fileName) = 0;
    // A handle holding a shared lock on the file (released by closeHandle); -1 if none.
    virtual int openSharedLocked(const std::string &path) = 0;

    // The watchdog's clock and probe.
    virtual std::int64_t steadyMs() = 0;
    virtual std::unique_ptr<LinkProbe> probeLink(ProcessId child) = 0;
};

} // namespace zcmd
