#include "zcmd/Variables.h"

#include "zcmd/Text.h"

namespace zcmd {

Variables Variables::fromEnvironment(char **environment)
{
    Variables vars;
    for (char **entry = environment; entry && *entry; ++entry) {
        std::string_view text(*entry);
        size_t eq = text.find('=', 1);
        if (eq == std::string_view::npos)
            continue;
        // The first spelling wins when the environment holds two that differ only in case.
        if (!vars.defined(text.substr(0, eq)))
            vars.set(text.substr(0, eq), text.substr(eq + 1));
    }
    return vars;
}

const std::string *Variables::find(std::string_view name) const
{
    auto it = byKey_.find(text::toUpper(name));
    return it == byKey_.end() ? nullptr : &it->second.second;
}

void Variables::set(std::string_view name, std::string_view value)
{
    if (value.empty()) {
        remove(name);
        return;
    }
    std::string key = text::toUpper(name);
    auto it = byKey_.find(key);
    if (it == byKey_.end())
        byKey_.emplace(std::move(key), std::make_pair(std::string(name), std::string(value)));
    else
        it->second.second = std::string(value);
}

void Variables::remove(std::string_view name) { byKey_.erase(text::toUpper(name)); }

size_t Variables::textSize() const
{
    size_t size = 0;
    for (const auto &entry : byKey_)
        size += entry.second.first.size() + entry.second.second.size();
    return size;
}

std::vector<std::pair<std::string, std::string>> Variables::all() const
{
    std::vector<std::pair<std::string, std::string>> out;
    out.reserve(byKey_.size());
    for (const auto &entry : byKey_)
        out.push_back(entry.second);
    return out;
}

std::vector<std::string> Variables::environmentBlock() const
{
    std::vector<std::string> out;
    out.reserve(byKey_.size());
    for (const auto &entry : byKey_)
        out.push_back(entry.second.first + "=" + entry.second.second);
    return out;
}

} // namespace zcmd
