#include "zcmd/BatchArguments.h"

#include "zcmd/CommandWords.h"
#include "zcmd/Text.h"

namespace zcmd {

BatchArguments BatchArguments::parse(std::string_view calledAs, std::string_view argumentText)
{
    BatchArguments args;
    args.words.emplace_back(calledAs);
    for (std::string &w : CommandWords::split(argumentText))
        args.words.push_back(std::move(w));
    args.allText = std::string(text::skipDelimiters(argumentText));
    return args;
}

std::string BatchArguments::word(size_t index) const
{
    return index < words.size() ? words[index] : std::string();
}

void BatchArguments::shift(size_t from)
{
    if (from < words.size())
        words.erase(words.begin() + static_cast<std::ptrdiff_t>(from));
    if (from == 0)
        zeroNamesBatch = false;
}

} // namespace zcmd
