// Texts prepared for speech: digits read one by one, placeholders filled in.
#pragma once

#include <string>

// Every digit becomes its word ("N123AB" is spoken "N one two three AB"); a
// point between two digits becomes "decimal"; everything else stays.
std::string replaceDigitsWithWords(const std::string& text);

// Replaces every occurrence of `toReplace` (never empty), continuing after
// each replacement, so a replacement holding the token is not replaced again.
std::string replaceSubstring(const std::string& text, const std::string& toReplace, const std::string& replacement);
