#include "zcmd/CommandWords.h"

#include "zcmd/Text.h"

namespace zcmd {

std::vector<std::string> CommandWords::split(std::string_view text)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text::isDelimiter(text[i]))
            ++i;
        if (i >= text.size())
            break;
        std::string word;
        bool quoted = false;
        while (i < text.size() && (quoted || !text::isDelimiter(text[i]))) {
            if (text[i] == '"')
                quoted = !quoted;
            word += text[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

size_t CommandWords::firstWordEnd(std::string_view text)
{
    bool quoted = false;
    size_t i = 0;
    while (i < text.size() && (quoted || !text::isDelimiter(text[i]))) {
        if (text[i] == '"')
            quoted = !quoted;
        ++i;
    }
    return i;
}

std::vector<std::string> CommandWords::switches(const std::vector<std::string> &words,
                                                std::vector<std::string> &operands)
{
    std::vector<std::string> found;
    for (const std::string &w : words) {
        if (w.size() < 2 || w[0] != '/') {
            operands.push_back(w);
            continue;
        }
        size_t start = 1;
        while (start <= w.size()) {
            size_t next = w.find('/', start);
            std::string piece =
                w.substr(start, next == std::string::npos ? std::string::npos : next - start);
            if (!piece.empty())
                found.push_back(text::toUpper(piece));
            if (next == std::string::npos)
                break;
            start = next + 1;
        }
    }
    return found;
}

} // namespace zcmd
