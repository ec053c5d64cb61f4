#include "Transmission.h"

namespace {
const char* const DIGIT_WORDS[] = {"Zero", "One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Niner"};
const char* const LETTER_WORDS[] = {"Alpha",  "Bravo",   "Charlie", "Delta",  "Echo",    "Foxtrot", "Golf",
                                    "Hotel",  "India",   "Juliet",  "Kilo",   "Lima",    "Mike",    "November",
                                    "Oscar",  "Papa",    "Quebec",  "Romeo",  "Sierra",  "Tango",   "Uniform",
                                    "Victor", "Whiskey", "Xray",    "Yankee", "Zulu"};
constexpr size_t MAX_SPELLED = 1999;
}  // namespace

std::string Transmission::phonetic(const std::string& source, bool skipFirst) {
    std::string spoken;
    const size_t length = source.size() < MAX_SPELLED ? source.size() : MAX_SPELLED;
    for (size_t i = skipFirst ? 1 : 0; i < length; ++i) {
        const char c = source[i] >= 'a' && source[i] <= 'z' ? static_cast<char>(source[i] - 'a' + 'A') : source[i];
        const char* word = c == '.'                 ? "Decimal"
                           : c == '/'               ? "Slant"
                           : c >= '0' && c <= '9'   ? DIGIT_WORDS[c - '0']
                           : c >= 'A' && c <= 'Z'   ? LETTER_WORDS[c - 'A']
                                                    : nullptr;
        if (word) spoken.append(word).append(" ");
    }
    return spoken;
}

std::string Transmission::phonetic(int number) { return phonetic(std::to_string(number), false); }
