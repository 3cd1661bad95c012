#pragma once
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zcmd {

// The interpreter's environment variables: names match without regard to
// case and keep the spelling they were first set with, as on Windows.
class Variables {
public:
    static Variables fromEnvironment(char **environment);

    const std::string *find(std::string_view name) const;
    bool defined(std::string_view name) const { return find(name) != nullptr; }
    // An empty value removes the variable.
    void set(std::string_view name, std::string_view value);
    void remove(std::string_view name);

    // Name and value pairs ordered by name without regard to case.
    std::vector<std::pair<std::string, std::string>> all() const;
    // The characters of every name and value together.
    size_t textSize() const;
    // "NAME=value" strings for a started program.
    std::vector<std::string> environmentBlock() const;

private:
    // Key: the upper-cased name; value: spelling and value.
    std::map<std::string, std::pair<std::string, std::string>> byKey_;
};

} // namespace zcmd
