#include "zcmd/RedirectionScope.h"

#include "zcmd/Output.h"
#include "zcmd/PathResolver.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace zcmd {

namespace {

// Copies of the saved handles live above this number, out of the way of 0 to 9.
constexpr int kSavedHandleBase = 20;

std::string openError(int error, bool reading)
{
    if (error == ENOENT)
        return reading ? "The system cannot find the file specified."
                       : "The system cannot find the path specified.";
    if (error == ENOTDIR)
        return "The system cannot find the path specified.";
    return "Access is denied.";
}

} // namespace

RedirectionScope::~RedirectionScope()
{
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        if (it->second >= 0) {
            ::dup2(it->second, it->first);
            ::close(it->second);
        } else {
            ::close(it->first);
        }
    }
}

void RedirectionScope::save(int fd)
{
    for (const auto &s : saved_)
        if (s.first == fd)
            return;
    int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, kSavedHandleBase);
    saved_.emplace_back(fd, copy);
}

bool RedirectionScope::apply(const std::vector<Redirection> &redirections)
{
    for (const Redirection &r : redirections) {
        if (r.kind == Redirection::Kind::DuplicateOutput
            || r.kind == Redirection::Kind::DuplicateInput) {
            if (::fcntl(r.sourceFd, F_GETFD) < 0) {
                Output::errLine(
                    "The handle could not be duplicated\r\nduring redirection of handle "
                    + std::to_string(r.fd) + ".");
                return false;
            }
            save(r.fd);
            ::dup2(r.sourceFd, r.fd);
            continue;
        }
        const bool reading = r.kind == Redirection::Kind::Input;
        std::string path = PathResolver::isNullDevice(r.target) ? std::string("/dev/null")
                                                                : PathResolver::resolve(r.target);
        int flags = O_CLOEXEC
                    | (reading ? O_RDONLY
                               : (O_WRONLY | O_CREAT
                                  | (r.kind == Redirection::Kind::Append ? O_APPEND : O_TRUNC)));
        save(r.fd);
        int fd = ::open(path.c_str(), flags, 0666);
        if (fd < 0) {
            Output::errLine(openError(errno, reading));
            return false;
        }
        if (fd == r.fd) {
            ::fcntl(fd, F_SETFD, 0); // the handle itself was free: keep it, inheritable
        } else {
            ::dup2(fd, r.fd);
            ::close(fd);
        }
    }
    return true;
}

} // namespace zcmd
