#pragma once
#include <string>

#include "zcmd/Ast.h"
#include "zcmd/Expander.h"
#include "zcmd/Session.h"

namespace zcmd {

// What a batch file's lines are run by (the Interpreter): its session, the
// expansion of its variables, its prompt and the running of a parsed line.
class LineRunner {
public:
    virtual Session &session() = 0;
    virtual Expander::Context expansionContext() const = 0;
    virtual std::string prompt() const = 0;
    // Runs a parsed line; returns the status of its last command.
    virtual int execute(const Node &node) = 0;

protected:
    ~LineRunner() = default;
};

} // namespace zcmd
