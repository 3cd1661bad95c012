#include "zcmd/Output.h"

#include "zcmd/system/System.h"

#include <string>

namespace zcmd {

void Output::write(int fd, std::string_view text)
{
    // A reader gone or a handle closed: the script goes on regardless.
    System::current().writeAll(fd, text.data(), text.size());
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

bool Output::isTerminal(int fd) { return System::current().isTerminal(fd); }

} // namespace zcmd
