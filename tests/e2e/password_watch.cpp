// Stand-in for another user's "ps" (and for root looking at environments)
// while a job runs: polls every process of the machine every 2 ms for a
// secret and reports where it showed. The secret comes on standard input
// (its first line), never on this program's own command line; the watch ends
// when standard input ends, and prints one line per sighting, then
// "scans: N".
//
//   password_watch cmdline   as the user "nobody": every process's command line
//   password_watch environ   as root: the environment of every process other
//                            than PuTTY's pscp and plink
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <set>
#include <string>
#include <unistd.h>

namespace {

std::string readFile(const std::string &path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string content;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, static_cast<size_t>(n));
    ::close(fd);
    return content;
}

std::string printable(std::string text)
{
    for (char &c : text)
        if (c == '\0')
            c = ' ';
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    const bool environment = argc > 1 && std::strcmp(argv[1], "environ") == 0;
    std::string secret;
    char c;
    while (::read(0, &c, 1) == 1 && c != '\n')
        secret += c;
    if (secret.empty())
        return 2;
    if (!environment
        && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        return 3;

    const std::string self = std::to_string(::getpid());
    std::set<std::string> sightings;
    long scans = 0;
    while (true) {
        pollfd in{0, POLLIN, 0};
        if (::poll(&in, 1, 2) != 0) // input ended (or a byte came): the watch is over
            break;
        DIR *proc = ::opendir("/proc");
        if (!proc)
            return 4;
        while (dirent *entry = ::readdir(proc)) {
            const std::string pid = entry->d_name;
            if (pid.find_first_not_of("0123456789") != std::string::npos || pid == self)
                continue;
            std::string comm = readFile("/proc/" + pid + "/comm");
            if (!comm.empty() && comm.back() == '\n')
                comm.pop_back();
            if (environment && (comm == "pscp" || comm == "plink"))
                continue;
            const std::string text =
                readFile("/proc/" + pid + (environment ? "/environ" : "/cmdline"));
            if (text.find(secret) != std::string::npos)
                sightings.insert(comm + ": " + printable(text));
        }
        ::closedir(proc);
        ++scans;
    }
    for (const std::string &s : sightings)
        std::printf("%s\n", s.c_str());
    std::printf("scans: %ld\n", scans);
    return 0;
}
