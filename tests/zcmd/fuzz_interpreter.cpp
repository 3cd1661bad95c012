// libFuzzer target: any bytes, written as a batch file, are run by the
// interpreter itself with its built-in commands (echo, set, if, goto, call,
// del, rmdir, mkdir, move, type, cd, start, taskkill ...), as a job script
// is run. No input may crash, trip a sanitizer, exhaust the memory or hang:
// the interpreter's limits (line length, CALL nesting) must hold for any
// script. Programs are never started and no process is ended here (see
// fuzz_process_stand_ins.cpp); the scripts run in a private, size-limited
// file system of their own (a tmpfs made the root of a private mount
// namespace), so that no script can touch the machine's files.
// libFuzzer's own paths must be absolute: the scripts' current folder is
// the private root.
#include "zcmd/Interpreter.h"
#include "zcmd/Session.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace zcmd;

namespace {

// Lines one input may run: a script that loops (goto, a batch file naming
// itself) ends there instead of running for ever, as a person would end it.
constexpr std::uint64_t kLineBudget = 1000;

[[noreturn]] void refuse(const char *step)
{
    std::fprintf(stderr, "fuzz_interpreter: cannot make the private file system (%s: %s)\n", step,
                 std::strerror(errno));
    std::abort();
}

bool makeFolders(const std::string &path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

// `folder` of the real file system appears at the same path in the new root.
void bindInto(const std::string &root, const std::string &folder, bool writable)
{
    int source = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (source < 0)
        refuse(folder.c_str());
    const std::string target = root + folder;
    if (!makeFolders(target))
        refuse("mkdir");
    const std::string from = "/proc/self/fd/" + std::to_string(source);
    const bool bound =
        ::mount(from.c_str(), target.c_str(), nullptr, MS_BIND | MS_REC, nullptr) == 0;
    ::close(source);
    if (!bound)
        refuse("bind");
    if (!writable
        && ::mount(nullptr, target.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr)
               != 0)
        refuse("read-only bind");
}

} // namespace

// The leak check at exit reads /proc, which the private root has not (a
// script could write to it); memory growth is bounded by -rss_limit_mb.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }

// The scripts' world: an empty tmpfs as the root of a mount namespace of
// this process alone. The folder libFuzzer was started in (its corpus and
// findings) and the seed folders it was given appear there at their own
// paths, the seeds read-only, so that libFuzzer keeps working.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    char buffer[4096];
    if (!::getcwd(buffer, sizeof buffer))
        refuse("getcwd");
    const std::string work = buffer;
    std::vector<std::string> seeds;
    for (int i = 1; i < *argc; ++i) {
        struct stat st {};
        if ((*argv)[i][0] == '-' || !::realpath((*argv)[i], buffer) || ::stat(buffer, &st) != 0)
            continue;
        std::string seed = buffer;
        if (!S_ISDIR(st.st_mode)) // a single input: its folder
            seed = seed.substr(0, std::max<size_t>(seed.rfind('/'), 1));
        seeds.push_back(seed);
    }

    // The private root needs a mount namespace, made as root; elsewhere the
    // test is skipped (exit status 77) rather than run unguarded.
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0) {
        std::fprintf(stderr, "fuzz_interpreter: needs root for its private file system\n");
        std::exit(77);
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        refuse("private mounts");
    // Nothing of the scripts' output is wanted; input ends at once (pause, set /p).
    int nul = ::open("/dev/null", O_RDONLY);
    if (nul < 0 || ::dup2(nul, 0) < 0)
        refuse("/dev/null");
    ::close(nul);

    const std::string root = "/mnt";
    if (::mount("zcmd-fuzz", root.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=32m,mode=0755")
        != 0)
        refuse("tmpfs");
    // The null device, for libFuzzer (which sends the scripts' output there)
    // and for the scripts' input.
    const std::string null = root + "/dev/null";
    if (!makeFolders(root + "/dev") || ::close(::open(null.c_str(), O_CREAT | O_WRONLY, 0666)) != 0
        || ::mount("/dev/null", null.c_str(), nullptr, MS_BIND, nullptr) != 0)
        refuse("/dev/null");
    bindInto(root, work, true);
    for (const std::string &seed : seeds)
        if (seed.rfind(work, 0) != 0)
            bindInto(root, seed, false);
    if (::chdir(root.c_str()) != 0 || ::chroot(".") != 0 || ::chdir("/") != 0)
        refuse("chroot");
    return 0;
}

namespace {

int removeEntry(const char *path, const struct stat *, int, struct FTW *level)
{
    if (level->level > 0)
        ::remove(path);
    return 0;
}

// Every input starts in an empty root folder.
void emptyRoot()
{
    (void)!::chdir("/");
    // Within the tmpfs only: the folders (and the null device) bound into it stay.
    ::nftw("/", removeEntry, 16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 16384)
        return 0;
    emptyRoot();
    int fd = ::open("/t.bat", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return 0;
    const bool written = ::write(fd, data, size) == static_cast<ssize_t>(size);
    ::close(fd);
    if (!written)
        return 0;

    Session session;
    session.variables.set("PASS", "a b&\"c%d^");
    session.variables.set("IP", "192.168.0.2");
    session.variables.set("PATHEXT", ".COM;.EXE;.BAT;.CMD");
    session.interpreterPath = "/zcmd";
    session.echoOn = size % 2 == 0;
    session.lineBudget = kLineBudget;
    Interpreter interpreter(session);
    interpreter.runBatch("/t.bat", "t.bat", "one \"two three\"");
    return 0;
}
