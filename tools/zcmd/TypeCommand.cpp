#include "zcmd/TypeCommand.h"

#include "zcmd/CommandWords.h"
#include "zcmd/FileCommandSupport.h"
#include "zcmd/Output.h"
#include "zcmd/PathResolver.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

#include <vector>

namespace zcmd {

using namespace filecommands;

// TYPE file...: with several files, or a name with wildcards, each file's
// name goes to the error output before its text, and a name that fails
// is named again after its message.
int TypeCommand::run(Session &, std::string_view arguments)
{
    std::vector<std::string> operands = CommandWords::split(arguments);
    if (operands.empty()) {
        Output::errLine(kIncorrect);
        return 1;
    }
    const bool several = operands.size() > 1;
    System &system = System::current();
    int code = 0;
    for (const std::string &operand : operands) {
        const std::string written = text::unquote(operand);
        // The null device reads as empty ("type nul >file" makes an empty file).
        if (PathResolver::isNullDevice(written))
            continue;
        const bool wildcards = PathResolver::hasWildcards(written);
        std::vector<std::string> matches = PathResolver::expand(operand);
        bool failed = matches.empty();
        if (failed)
            Output::errLine(notFound(operand));
        for (const std::string &file : matches) {
            if (PathResolver::isDirectory(file)) {
                Output::errLine(kAccessDenied);
                failed = true;
                continue;
            }
            const int fd = system.openFile(file, OpenMode::Read);
            if (fd < 0) {
                Output::errLine(kAccessDenied);
                failed = true;
                continue;
            }
            if (several || wildcards) {
                // The name as written, its last part replaced by the file's own name.
                const size_t folderEnd = written.find_last_of("/\\");
                const std::string shown =
                    (folderEnd == std::string::npos ? std::string()
                                                    : written.substr(0, folderEnd + 1))
                    + text::baseName(file);
                Output::err("\r\n" + shown + "\r\n\r\n\r\n");
            }
            char buffer[65536];
            long n;
            while ((n = system.readHandle(fd, buffer, sizeof buffer)) > 0)
                Output::out(std::string_view(buffer, static_cast<size_t>(n)));
            system.closeHandle(fd);
        }
        if (failed) {
            code = 1;
            if (several)
                Output::errLine("Error occurred while processing: " + written + ".");
        }
    }
    return code;
}

} // namespace zcmd
