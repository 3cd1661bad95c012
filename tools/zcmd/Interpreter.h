#pragma once
#include <string>
#include <string_view>

#include "zcmd/Ast.h"
#include "zcmd/Builtins.h"
#include "zcmd/Expander.h"
#include "zcmd/LineRunner.h"
#include "zcmd/Session.h"

namespace zcmd {

// Runs parsed lines: built-in commands, programs, batch files, pipes,
// conditional chains, blocks and IF, each with its redirections.
class Interpreter final : public LineRunner {
public:
    explicit Interpreter(Session &session)
        : session_(session)
    {}

    Session &session() override { return session_; }
    const Session &session() const { return session_; }

    // A command line as given after "/c": expanded by the command-line rules, parsed and run.
    // Returns the status of its last command.
    int runCommandLine(std::string_view line);
    // Runs a batch file to its end; returns the error level it leaves.
    int runBatch(const std::string &path, std::string_view calledAs, std::string_view argumentText);
    // Runs a parsed line; returns the status of its last command.
    int execute(const Node &node) override;
    // True once a command has asked to leave the rest of the line
    // (exit, goto, a batch file that replaces the running one).
    bool stopping() const;

    Expander::Context expansionContext() const override;
    // The command prompt ($P$G by default), shown before echoed commands.
    std::string prompt() const override;

    static void reportNotRecognized(std::string_view name);

private:
    int runCommand(const Node &node);
    int runPipeline(const Node &node);
    int runConditional(const Node &node);
    void applyErrorLevelRule(ErrorLevelRule rule, int code);
    int runProgram(const std::string &text);
    int invokeBatch(const std::string &path, const std::string &calledAs,
                    const std::string &argumentText);
    bool evaluate(const IfTest &test) const;

    Session &session_;
};

} // namespace zcmd
