#include "zcmd/RedirectionScope.h"

#include "zcmd/Output.h"
#include "zcmd/PathResolver.h"
#include "zcmd/system/System.h"

#include <cerrno>

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
    System &system = System::current();
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        if (it->second >= 0) {
            system.putHandle(it->second, it->first);
            system.closeHandle(it->second);
        } else {
            system.closeHandle(it->first);
        }
    }
}

void RedirectionScope::save(int fd)
{
    for (const auto &s : saved_)
        if (s.first == fd)
            return;
    const int copy = System::current().copyHandleAbove(fd, kSavedHandleBase);
    saved_.emplace_back(fd, copy);
}

bool RedirectionScope::apply(const std::vector<Redirection> &redirections)
{
    System &system = System::current();
    for (const Redirection &r : redirections) {
        if (r.kind == Redirection::Kind::DuplicateOutput
            || r.kind == Redirection::Kind::DuplicateInput) {
            if (!system.handleIsOpen(r.sourceFd)) {
                Output::errLine(
                    "The handle could not be duplicated\r\nduring redirection of handle "
                    + std::to_string(r.fd) + ".");
                return false;
            }
            save(r.fd);
            system.putHandle(r.sourceFd, r.fd);
            continue;
        }
        const bool reading = r.kind == Redirection::Kind::Input;
        std::string path = PathResolver::isNullDevice(r.target) ? std::string(System::kNullDevice)
                                                                : PathResolver::resolve(r.target);
        const OpenMode mode = reading ? OpenMode::Read
                              : r.kind == Redirection::Kind::Append ? OpenMode::Append
                                                                    : OpenMode::Write;
        save(r.fd);
        const int fd = system.openFile(path, mode);
        if (fd < 0) {
            Output::errLine(openError(-fd, reading));
            return false;
        }
        if (fd == r.fd) {
            system.makeInheritable(fd); // the handle itself was free: keep it, inheritable
        } else {
            system.putHandle(fd, r.fd);
            system.closeHandle(fd);
        }
    }
    return true;
}

} // namespace zcmd
