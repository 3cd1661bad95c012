#include "zcmd/Output.h"

#include <cerrno>
#include <string>
#include <unistd.h>

namespace zcmd {

void Output::write(int fd, std::string_view text)
{
    while (!text.empty()) {
        ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // reader gone or handle closed: the script goes on regardless
        text.remove_prefix(static_cast<size_t>(n));
    }
}

void Output::outLine(std::string_view text)
{
    std::string line(text);
    line += "\r\n";
    write(1, line);
}

void Output::errLine(std::string_view text)
{
    std::string line(text);
    line += "\r\n";
    write(2, line);
}

bool Output::isTerminal(int fd) { return ::isatty(fd) == 1; }

} // namespace zcmd
