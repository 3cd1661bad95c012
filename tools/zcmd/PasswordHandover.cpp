#include "zcmd/PasswordHandover.h"

#include "zcmd/Text.h"
#include "zcmd/Variables.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace zcmd {

namespace {

// A pipe holding `password` and a line end (PuTTY reads one line), its
// write end already closed; the read end, or -1.
int pipeHolding(const std::string &password)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    // A password is one command-line word, far below the pipe's capacity:
    // the writes never wait for a reader.
    std::string content = password + "\n";
    size_t done = 0;
    while (done < content.size()) {
        ssize_t n = ::write(fds[1], content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fds[1]);
    if (done != content.size()) {
        ::close(fds[0]);
        return -1;
    }
    return fds[0];
}

} // namespace

PasswordHandover::~PasswordHandover()
{
    for (int fd : pipes_)
        ::close(fd);
}

bool PasswordHandover::isPuttyTool(const std::string &path)
{
    std::string name = text::toUpper(text::baseName(path));
    if (text::iendsWith(name, ".EXE"))
        name.resize(name.size() - 4);
    return name == "PSCP" || name == "PLINK";
}

bool PasswordHandover::prepare(LaunchRequest &request, std::vector<std::string> &secrets)
{
    if (!isPuttyTool(request.path))
        return true;
    std::vector<std::string> &args = request.arguments;
    for (size_t i = 1; i + 1 < args.size(); ++i) {
        if (args[i] != "-pw")
            continue;
        int fd = pipeHolding(args[i + 1]);
        if (fd < 0)
            return false;
        pipes_.push_back(fd);
        request.inherited.push_back(fd);
        if (!args[i + 1].empty()
            && std::find(secrets.begin(), secrets.end(), args[i + 1]) == secrets.end())
            secrets.push_back(args[i + 1]);
        args[i] = "-pwfile";
        args[i + 1] = "/dev/fd/" + std::to_string(fd);
        ++i;
    }
    return true;
}

std::vector<std::string> PasswordHandover::environmentFor(const Variables &variables,
                                                          const std::vector<std::string> &secrets)
{
    std::vector<std::string> out;
    for (const auto &[name, value] : variables.all())
        if (std::find(secrets.begin(), secrets.end(), value) == secrets.end())
            out.push_back(name + "=" + value);
    return out;
}

} // namespace zcmd
