#pragma once
#include <string>
#include <string_view>

namespace zcmd {

class Interpreter;

// RMDIR/RD, DEL/ERASE, MOVE, COPY, REN/RENAME, MKDIR/MD, CD/CHDIR and TYPE, with
// Windows file names (see PathResolver) and the interpreter's messages.
class FileCommands {
public:
    static int removeDirectory(Interpreter &interpreter, std::string_view arguments);
    static int deleteFiles(Interpreter &interpreter, std::string_view arguments);
    static int move(Interpreter &interpreter, std::string_view arguments);
    static int copy(Interpreter &interpreter, std::string_view arguments);
    static int rename(Interpreter &interpreter, std::string_view arguments);
    static int makeDirectory(Interpreter &interpreter, std::string_view arguments);
    static int changeDirectory(Interpreter &interpreter, std::string_view arguments);
    // PUSHD folder: keeps the current folder on a stack and changes to the
    // folder; POPD changes back to the folder last kept.
    static int pushFolder(Interpreter &interpreter, std::string_view arguments);
    static int popFolder(Interpreter &interpreter, std::string_view arguments);
    static int type(Interpreter &interpreter, std::string_view arguments);

    // Removes a file, a link or a folder with everything in it; links are
    // removed, never followed.
    static bool removeTree(const std::string &path);
};

} // namespace zcmd
