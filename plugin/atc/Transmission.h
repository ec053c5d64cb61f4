// One Zuruvo ZEV radio call and the vocabulary that puts its parts into words.
#pragma once

#include <string>

class Transmission {
public:
    // Spells each letter, digit, "." and "/" as its radio word followed by a blank.
    static std::string phonetic(const std::string& source, bool skipFirst);
    static std::string phonetic(int number);
};
