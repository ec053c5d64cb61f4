// Stored API keys come from a file the user may edit or damage: deciphering
// any text either gives bytes or refuses it, and what is enciphered comes back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "speech/StringCipher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte splits the input into a key and a stored text.
    size_t keyLength = std::min<size_t>(data[0], size - 1);
    std::string key(reinterpret_cast<const char*>(data + 1), keyLength);
    std::string text(reinterpret_cast<const char*>(data + 1 + keyLength), size - 1 - keyLength);

    std::string bytes;
    bool hex = true;
    try {
        bytes = StringCipher::fromHex(text);
    } catch (const std::invalid_argument&) {
        hex = false;
    }
    if (hex && bytes.size() * 2 != text.size()) abort();

    try {
        std::string plain = StringCipher::decrypt(text, key);
        if (!hex || key.empty() || plain.size() != bytes.size()) abort();
        if (StringCipher::fromHex(StringCipher::encrypt(plain, key)) != bytes) abort();
    } catch (const std::invalid_argument&) {
        if (hex && !key.empty()) abort();
    }

    if (!key.empty() && StringCipher::decrypt(StringCipher::encrypt(text, key), key) != text) abort();
    return 0;
}
