#pragma once
#include <memory>
#include <string>
#include <vector>

namespace zcmd {

// A redirection written on a command: "[n]>file", "[n]>>file", "[n]<file",
// "[n]>&m", "[n]<&m".
struct Redirection {
    enum class Kind { Input, Output, Append, DuplicateOutput, DuplicateInput };
    Kind kind = Kind::Output;
    int fd = 1;
    int sourceFd = -1;  // the handle copied by a duplication
    std::string target; // file name as written, quotes kept
};

// The condition of an IF command.
struct IfTest {
    enum class Kind { Exist, ErrorLevel, Defined, CmdExtVersion, Compare };
    Kind kind = Kind::Compare;
    bool negate = false;
    bool ignoreCase = false;
    std::string op; // "==", or EQU NEQ LSS LEQ GTR GEQ (upper-cased)
    std::string left;
    std::string right;
    // The words as the line spells them, which command echo shows.
    std::string ifWord = "if";
    std::string caseWord = "/I";
    std::string notWord = "not";
    std::string kindWord; // exist, errorlevel, defined or cmdextversion
    std::string elseWord = "else";
};

struct Node;
using NodePtr = std::unique_ptr<Node>;

// One parsed line: commands joined by "&", "&&", "||" and "|", blocks in
// parentheses and IF commands.
struct Node {
    enum class Type { Command, Block, If, Pipe, Conditional, Sequence };
    explicit Node(Type t)
        : type(t)
    {}

    Type type;
    // Command: its text after carets and redirections were taken out, quotes kept.
    std::string text;
    // Command and Block.
    std::vector<Redirection> redirections;
    // Block: its statements; Pipe, Conditional, Sequence: their operands in order.
    std::vector<NodePtr> children;
    // Block: for each statement, whether it begins a line of its own, and
    // whether the block's text holds a line break at all.
    std::vector<bool> lineStarts;
    bool spansLines = false;
    // Conditional: for each operand after the first, true when "||" joins it
    // to what goes before, false for "&&" ("&&" binds tighter than "||").
    std::vector<bool> orJoins;
    // If.
    IfTest test;
    NodePtr thenBranch;
    NodePtr elseBranch;
};

// The line as the interpreter shows it when command echo is on.
std::string describe(const Node &node);
std::string describe(const Redirection &redirection);

} // namespace zcmd
