#pragma once
#include <utility>
#include <vector>

#include "zcmd/Ast.h"

namespace zcmd {

// Applies a command's redirections to the interpreter's own handles and puts
// the handles back when the command is done, so built-in commands and the
// programs they start see the same redirected handles.
class RedirectionScope {
public:
    RedirectionScope() = default;
    RedirectionScope(const RedirectionScope &) = delete;
    RedirectionScope &operator=(const RedirectionScope &) = delete;
    ~RedirectionScope();

    // Writes the interpreter's message and returns false when a file cannot be opened.
    bool apply(const std::vector<Redirection> &redirections);

private:
    void save(int fd);
    std::vector<std::pair<int, int>> saved_; // handle, copy (-1: it was closed)
};

} // namespace zcmd
