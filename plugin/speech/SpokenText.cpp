#include "SpokenText.h"

#include <cctype>

namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::string replaceDigitsWithWords(const std::string& text) {
    static const char* const words[] = {"zero", "one", "two", "three", "four",
                                        "five", "six", "seven", "eight", "nine"};
    std::string out;
    out.reserve(text.size() * 5);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char* word = nullptr;
        if (isDigit(c))
            word = words[c - '0'];
        else if (c == '.' && i > 0 && isDigit(text[i - 1]) && i + 1 < text.size() && isDigit(text[i + 1]))
            word = "decimal";
        if (!word) {
            out += c;
            continue;
        }
        if (!out.empty() && out.back() != ' ') out += ' ';
        out += word;
        if (i + 1 < text.size() && text[i + 1] != ' ') out += ' ';
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string replaceSubstring(const std::string& text, const std::string& toReplace, const std::string& replacement) {
    if (toReplace.empty()) return text;
    std::string out = text;
    for (size_t at = out.find(toReplace); at != std::string::npos; at = out.find(toReplace, at + replacement.size())) {
        out.replace(at, toReplace.size(), replacement);
    }
    return out;
}
