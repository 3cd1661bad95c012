// Stand-in for the outside programs that job scripts call (pscp, plink,
// iphuc, the completion programs, the program itself, xdg-open ...). It does
// none of their work; what it does is chosen by the name it was started
// under, so the tests can copy or link it under any of those names:
//
//   pscp*, plink*, iphuc*, argv*   print each argument on a line of its own; pscp and plink
//                                  print the first line of the file after "-pwfile" in
//                                  place of its name (the password PuTTY would read);
//                                  "--quiet=MS,MS..." then stays silent that long before each
//                                  further line, "--quiet=forever" for good (a link that stalls)
//   exitwith N                     end with status N
//   upcase                         copy the input to the output in capitals
//   both                           write "out" to the output, then "err" to the error output
//   chatty FILE                    write many lines (ignoring write errors), then create FILE
//   blocker FIFO                   read the FIFO until its writer closes it
//   linger*, victim*, bystander*   write the process id to the file named by the
//                                  first argument, then wait to be ended
//   anything else                  create "<name>.started" holding the arguments, then end
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <ctime>
#include <unistd.h>

namespace {

void writeAll(int fd, const std::string &text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

bool startsWith(const std::string &name, const char *prefix) { return name.rfind(prefix, 0) == 0; }

void writeFileAtomically(const std::string &path, const std::string &content)
{
    std::string temporary = path + ".tmp";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    writeAll(fd, content);
    ::close(fd);
    ::rename(temporary.c_str(), path.c_str());
}

std::string firstLineOf(const char *path)
{
    int fd = ::open(path, O_RDONLY);
    if (fd < 0)
        return "(unreadable)";
    std::string line;
    char c;
    while (::read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    ::close(fd);
    return line;
}

} // namespace

int main(int argc, char **argv)
{
    std::string invoked = argv[0];
    size_t slash = invoked.rfind('/');
    if (slash != std::string::npos)
        invoked = invoked.substr(slash + 1);
    std::string name;
    for (char c : invoked)
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    if (startsWith(name, "pscp") || startsWith(name, "plink") || startsWith(name, "iphuc")
        || startsWith(name, "argv")) {
        const bool putty = startsWith(name, "pscp") || startsWith(name, "plink");
        for (int i = 1; i < argc; ++i) {
            if (putty && i > 1 && std::strcmp(argv[i - 1], "-pwfile") == 0) {
                writeAll(1, firstLineOf(argv[i]) + "\n");
                continue;
            }
            writeAll(1, std::string(argv[i]) + "\n");
        }
        for (int i = 1; putty && i < argc; ++i) {
            if (!startsWith(argv[i], "--quiet="))
                continue;
            ::alarm(120); // never outlive a failed test by long
            if (std::strcmp(argv[i], "--quiet=forever") == 0) {
                while (true)
                    ::pause();
            }
            for (char *p = argv[i] + 8; *p;) {
                char *end = p;
                const long ms = std::strtol(p, &end, 10);
                timespec t{ms / 1000, (ms % 1000) * 1000000L};
                while (::nanosleep(&t, &t) != 0 && errno == EINTR) {
                }
                writeAll(1, "moved\n");
                p = *end == ',' ? end + 1 : end;
                if (end == p && *p)
                    break;
            }
        }
        return 0;
    }
    if (name == "exitwith")
        return argc > 1 ? std::atoi(argv[1]) : 0;
    if (name == "upcase") {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(0, buffer, sizeof buffer)) > 0) {
            for (ssize_t i = 0; i < n; ++i)
                buffer[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(buffer[i])));
            writeAll(1, std::string(buffer, static_cast<size_t>(n)));
        }
        return 0;
    }
    if (name == "both") {
        writeAll(1, "out\n");
        writeAll(2, "err\n");
        return 0;
    }
    if (name == "chatty") {
        for (int i = 0; i < 2000; ++i)
            writeAll(1, "chatter line that nobody reads any more\n");
        if (argc > 1)
            writeFileAtomically(argv[1], "done\n");
        return 0;
    }
    if (name == "blocker") {
        if (argc < 2)
            return 2;
        int fd = ::open(argv[1], O_RDONLY);
        if (fd < 0)
            return 3;
        char buffer[256];
        while (::read(fd, buffer, sizeof buffer) > 0) {
        }
        ::close(fd);
        return 0;
    }
    if (startsWith(name, "linger") || startsWith(name, "victim") || startsWith(name, "bystander")) {
        ::alarm(120); // never outlive a failed test by long
        if (argc > 1)
            writeFileAtomically(argv[1], std::to_string(::getpid()));
        while (true)
            ::pause();
    }
    std::string content;
    for (int i = 1; i < argc; ++i)
        content += std::string(argv[i]) + "\n";
    writeFileAtomically(invoked + ".started", content);
    return 0;
}
