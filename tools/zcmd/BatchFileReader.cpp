#include "zcmd/BatchFileReader.h"

#include "zcmd/BatchLabel.h"
#include "zcmd/ScriptLimits.h"
#include "zcmd/Text.h"

#include "zcmd/system/System.h"

#include <algorithm>

namespace zcmd {

namespace {

bool endsLine(char c) { return c == '\n' || c == '\x1a'; }

// Closes the handle when the read is done.
struct OpenFile {
    explicit OpenFile(const std::string &path)
        : fd(System::current().openFile(path, OpenMode::Read))
    {}
    ~OpenFile()
    {
        if (fd >= 0)
            System::current().closeHandle(fd);
    }
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;
    int fd;
};

long readAt(int fd, char *buffer, size_t size, std::uint64_t offset)
{
    return System::current().readAt(fd, buffer, size, offset);
}

} // namespace

BatchFileReader::Status BatchFileReader::readLine(const std::string &path, std::uint64_t &offset,
                                                  std::string &line)
{
    OpenFile file(path);
    if (file.fd < 0)
        return Status::Missing;
    line.clear();
    char buffer[4096];
    std::uint64_t at = offset;
    // Carriage returns do not count towards the limit (they go after
    // expansion). Of the other characters one more than the limit is kept,
    // so a longer line is always refused whole, and carriage returns are
    // kept only while the line is short: memory stays bounded whatever the
    // line holds.
    size_t counted = 0;
    while (true) {
        ssize_t n = readAt(file.fd, buffer, sizeof buffer, at);
        if (n < 0)
            return Status::Missing;
        if (n == 0)
            break;
        for (ssize_t k = 0; k < n; ++k) {
            const char c = buffer[k];
            if (endsLine(c)) {
                offset = at + static_cast<std::uint64_t>(k) + 1;
                return Status::Line;
            }
            if (c != '\r' && counted <= ScriptLimits::kMaxLineLength) {
                line += c;
                ++counted;
            } else if (c == '\r' && line.size() < 2 * ScriptLimits::kMaxLineLength) {
                line += c;
            }
        }
        at += static_cast<std::uint64_t>(n);
    }
    offset = at;
    return line.empty() ? Status::EndOfFile : Status::Line;
}

std::optional<std::uint64_t> BatchFileReader::findLabel(const std::string &path,
                                                        std::string_view label, std::uint64_t from)
{
    // The whole file as it is now, read once.
    std::string content;
    {
        OpenFile file(path);
        if (file.fd < 0)
            return std::nullopt;
        char buffer[65536];
        ssize_t n;
        while ((n = readAt(file.fd, buffer, sizeof buffer, content.size())) > 0)
            content.append(buffer, static_cast<size_t>(n));
    }
    std::optional<std::uint64_t> first;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = start;
        while (end < content.size() && !endsLine(content[end]))
            ++end;
        auto name = BatchLabel::ofLine(std::string_view(content).substr(start, end - start));
        const std::uint64_t next = std::min<std::uint64_t>(end + 1, content.size());
        if (name && !name->empty() && text::iequals(*name, label)) {
            if (start >= from)
                return next;
            if (!first)
                first = next;
        }
        start = end + 1;
    }
    return first;
}

} // namespace zcmd
