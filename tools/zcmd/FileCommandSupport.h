#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zcmd {

struct Session;

// What the file commands share: their messages, switches, paths and the
// question before a file is replaced.
namespace filecommands {

inline constexpr char kIncorrect[] = "The syntax of the command is incorrect.";
inline constexpr char kFileNotFound[] = "The system cannot find the file specified.";
inline constexpr char kPathNotFound[] = "The system cannot find the path specified.";
inline constexpr char kAccessDenied[] = "Access is denied.";

// What Windows says of a name that is not there: the path where its folder
// is missing, the file otherwise.
const char *notFound(std::string_view windowsPath);

// Splits words into switches and operands; false (message written) for a switch not in `allowed`.
bool parseWords(std::string_view arguments, std::string_view allowed,
                std::vector<std::string> &switches, std::vector<std::string> &operands);
bool hasSwitch(const std::vector<std::string> &switches, char name);

// How MOVE and COPY treat a target file that exists. A batch file
// replaces it; a typed command asks first. COPYCMD may hold /Y or /-Y to
// change that default, and the command's own /Y or /-Y decides over both.
enum class Overwrite { Ask, Always };
Overwrite overwriteRule(const Session &session, const std::vector<std::string> &switches);
// Asks whether `destination` may be replaced: Yes, No, or All (this one and
// every later one). Other answers ask again; no answer left is No.
bool mayOverwrite(Overwrite &rule, const std::string &destination);

bool isDirectoryNoFollow(const std::string &path);
bool exists(const std::string &path); // links not followed
bool sameFile(const std::string &a, const std::string &b);
std::string parentOf(const std::string &path);
std::string joinPath(const std::string &folder, const std::string &name);
// The message for a file that could not be written: access where its folder exists.
const char *writeFailure(const std::string &path);

} // namespace filecommands
} // namespace zcmd
