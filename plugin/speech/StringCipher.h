// A keyed XOR stream with hex encoding: binds a stored text to a key (the
// machine identifier) and keeps it unreadable at a glance. Not strong
// cryptography, and not meant to be.
#pragma once

#include <cstddef>
#include <string>

class StringCipher {
public:
    // Both throw std::invalid_argument for an empty key; decrypt also for text that is not hex.
    static std::string encrypt(const std::string& plaintext, const std::string& key);
    static std::string decrypt(const std::string& ciphertext, const std::string& key);

    static std::string applyXOR(const std::string& input, const std::string& key);
    static std::string stretchKey(const std::string& key, size_t length);
    static std::string toHex(const std::string& bytes);
    static std::string fromHex(const std::string& text);
};
