#include "StandInSystem.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace zcmd;

StandInSystem::StandInSystem() { addFolder("/"); }

void StandInSystem::addFolder(const std::string &path)
{
    tree[path] = Entry{FileKind::Folder, {}, false, nextInode_++};
}

void StandInSystem::addFile(const std::string &path, const std::string &content, bool executable)
{
    tree[path] = Entry{FileKind::File, content, executable, nextInode_++};
}

std::string StandInSystem::absolute(const std::string &path) const
{
    const std::string full = !path.empty() && path.front() == '/' ? path : folder + "/" + path;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        const size_t slash = std::min(full.find('/', start), full.size());
        const std::string part = full.substr(start, slash - start);
        if (part == ".." && !parts.empty())
            parts.pop_back();
        else if (!part.empty() && part != "." && part != "..")
            parts.push_back(part);
        start = slash + 1;
    }
    std::string out;
    for (const std::string &part : parts)
        out += "/" + part;
    return out.empty() ? "/" : out;
}

StandInSystem::Entry *StandInSystem::find(const std::string &path)
{
    auto it = tree.find(absolute(path));
    return it == tree.end() ? nullptr : &it->second;
}

int StandInSystem::changeFolder(const std::string &path)
{
    const Entry *entry = find(path);
    if (!entry || entry->kind != FileKind::Folder)
        return ENOENT;
    folder = absolute(path);
    changes.push_back("changeFolder " + folder);
    return 0;
}

FileStatus StandInSystem::linkStatusOf(const std::string &path)
{
    FileStatus out;
    const Entry *entry = find(path);
    if (!entry) {
        out.error = ENOENT;
        return out;
    }
    out.kind = entry->kind;
    out.size = entry->content.size();
    out.permissions = entry->executable ? 0755 : 0644;
    out.device = 1;
    out.inode = entry->inode;
    return out;
}

bool StandInSystem::isExecutable(const std::string &path)
{
    const Entry *entry = find(path);
    return entry && entry->executable;
}

std::vector<std::string> StandInSystem::listFolder(const std::string &path)
{
    const std::string base = absolute(path.empty() ? "." : path);
    const std::string prefix = base == "/" ? "/" : base + "/";
    std::vector<std::string> names;
    for (const auto &[name, entry] : tree)
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0
            && name.find('/', prefix.size()) == std::string::npos)
            names.push_back(name.substr(prefix.size()));
    return names;
}

int StandInSystem::makeFolder(const std::string &path)
{
    if (find(path))
        return EEXIST;
    const std::string full = absolute(path);
    const Entry *parent = find(full.substr(0, std::max<size_t>(full.rfind('/'), 1)));
    if (!parent || parent->kind != FileKind::Folder)
        return ENOENT;
    addFolder(full);
    changes.push_back("makeFolder " + full);
    return 0;
}

int StandInSystem::removeFolder(const std::string &path)
{
    const Entry *entry = find(path);
    if (!entry || entry->kind != FileKind::Folder)
        return ENOTDIR;
    if (!listFolder(path).empty())
        return ENOTEMPTY;
    changes.push_back("removeFolder " + absolute(path));
    tree.erase(absolute(path));
    return 0;
}

int StandInSystem::removeFile(const std::string &path)
{
    const Entry *entry = find(path);
    if (!entry || entry->kind == FileKind::Folder)
        return entry ? EISDIR : ENOENT;
    changes.push_back("removeFile " + absolute(path));
    tree.erase(absolute(path));
    return 0;
}

int StandInSystem::renameEntry(const std::string &from, const std::string &to)
{
    const Entry *entry = find(from);
    if (!entry || entry->kind == FileKind::Folder)
        return entry ? EXDEV : ENOENT; // folders are not moved here
    changes.push_back("renameEntry " + absolute(from) + " " + absolute(to));
    tree[absolute(to)] = *entry;
    tree.erase(absolute(from));
    return 0;
}

int StandInSystem::openFile(const std::string &path, OpenMode mode, unsigned)
{
    Entry *entry = find(path);
    if (mode == OpenMode::Read && !entry)
        return -ENOENT;
    if (entry && entry->kind == FileKind::Folder && mode != OpenMode::Read)
        return -EISDIR;
    if (mode != OpenMode::Read) {
        changes.push_back("openFile " + absolute(path) + " for writing");
        if (!entry)
            addFile(absolute(path), {});
        else if (mode == OpenMode::Write)
            entry->content.clear();
    }
    handles_[nextHandle_] = Handle{absolute(path), mode != OpenMode::Read, 0};
    return nextHandle_++;
}

long StandInSystem::readHandle(int handle, char *buffer, std::size_t size)
{
    auto it = handles_.find(handle);
    if (it == handles_.end())
        return -1;
    const long n = readAt(handle, buffer, size, it->second.at);
    it->second.at += n > 0 ? static_cast<std::uint64_t>(n) : 0;
    return n;
}

long StandInSystem::readAt(int handle, char *buffer, std::size_t size, std::uint64_t offset)
{
    auto it = handles_.find(handle);
    const Entry *entry = it == handles_.end() ? nullptr : find(it->second.path);
    if (!entry || entry->kind != FileKind::File)
        return -1;
    if (offset >= entry->content.size())
        return 0;
    const size_t n = std::min(size, entry->content.size() - static_cast<size_t>(offset));
    std::memcpy(buffer, entry->content.data() + offset, n);
    return static_cast<long>(n);
}

bool StandInSystem::writeAll(int handle, const char *data, std::size_t size)
{
    if (handle == 1 || handle == 2) {
        (handle == 1 ? output : errors).append(data, size);
        return true;
    }
    auto it = handles_.find(handle);
    Entry *entry = it == handles_.end() || !it->second.writes ? nullptr : find(it->second.path);
    if (!entry)
        return false;
    entry->content.append(data, size);
    return true;
}

FileStatus StandInSystem::handleStatus(int handle)
{
    auto it = handles_.find(handle);
    return it == handles_.end() ? FileStatus{} : linkStatusOf(it->second.path);
}

int StandInSystem::closeHandle(int handle) { return handles_.erase(handle) ? 0 : EBADF; }

ProcessId StandInSystem::forkProcess()
{
    changes.push_back("forkProcess");
    return -1;
}

ProcessId StandInSystem::startChild(const LaunchRequest &request,
                                    void (*)(const LaunchRequest &))
{
    std::string change = "startChild " + request.path;
    for (size_t k = 1; k < request.arguments.size(); ++k)
        change += " " + request.arguments[k];
    changes.push_back(change);
    started.push_back(request);
    return 1000 + static_cast<ProcessId>(started.size());
}

void StandInSystem::exitProcess(int) { std::abort(); } // only a forked copy exits; none is made

std::optional<int> StandInSystem::waitForExit(ProcessId child)
{
    if (child <= 1000 || child > 1000 + static_cast<ProcessId>(started.size()))
        return std::nullopt;
    return programExitCode;
}

DetachedOutcome StandInSystem::startDetached(const LaunchRequest &request, const DetachedStart &)
{
    changes.push_back("startDetached " + request.path);
    started.push_back(request);
    DetachedOutcome outcome;
    outcome.result = DetachedOutcome::Result::Started;
    return outcome;
}

int StandInSystem::openSharedLocked(const std::string &path)
{
    return find(path) ? openFile(path, OpenMode::Read, 0) : -1;
}

int StandInSystem::endProcess(ProcessId process, bool force)
{
    changes.push_back("endProcess " + std::to_string(process) + (force ? " forced" : ""));
    return processExists(process) ? 0 : ESRCH;
}

bool StandInSystem::processExists(ProcessId process)
{
    return std::find(running.begin(), running.end(), process) != running.end();
}

ProcessInfo StandInSystem::processInfo(ProcessId process)
{
    ProcessInfo info;
    info.ownedByUs = processExists(process);
    info.commandName = "process" + std::to_string(process);
    return info;
}
