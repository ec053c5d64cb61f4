#include "StringCipher.h"

#include <cstdint>
#include <stdexcept>

namespace {

void requireKey(const std::string& key) {
    if (key.empty()) throw std::invalid_argument("Key must not be empty");
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string StringCipher::encrypt(const std::string& plaintext, const std::string& key) {
    requireKey(key);
    return toHex(applyXOR(plaintext, key));
}

std::string StringCipher::decrypt(const std::string& ciphertext, const std::string& key) {
    requireKey(key);
    return applyXOR(fromHex(ciphertext), key);
}

std::string StringCipher::applyXOR(const std::string& input, const std::string& key) {
    if (input.empty()) return input;
    std::string stream = stretchKey(key, input.size());
    std::string output(input.size(), '\0');
    for (size_t i = 0; i < input.size(); ++i) output[i] = static_cast<char>(input[i] ^ stream[i]);
    return output;
}

std::string StringCipher::stretchKey(const std::string& key, size_t length) {
    std::string stream;
    if (key.empty() || length == 0) return stream;
    stream.reserve(length);
    // The hash runs over the whole key first, so every stream byte depends on all of it.
    uint64_t h = 5381;
    for (unsigned char b : key) h = (h * 33) ^ b;
    for (size_t i = 0; i < length; ++i) {
        uint8_t k = static_cast<uint8_t>(key[i % key.size()]);
        uint8_t low = static_cast<uint8_t>(h & 0xff);
        uint8_t m = k ^ low;
        if (m == 0) m = static_cast<uint8_t>((k + low + 90) % 256);
        stream.push_back(static_cast<char>(m));
        h = (h * 33) ^ k;
    }
    return stream;
}

std::string StringCipher::toHex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 0x0f]);
    }
    return text;
}

std::string StringCipher::fromHex(const std::string& text) {
    if (text.size() % 2 != 0) throw std::invalid_argument("Hex string has odd length \u2014 possibly corrupted");
    std::string bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        int high = hexValue(text[i]);
        int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0) {
            char bad = high < 0 ? text[i] : text[i + 1];
            throw std::invalid_argument(std::string("Invalid hex character '") + bad + "' in ciphertext");
        }
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return bytes;
}
