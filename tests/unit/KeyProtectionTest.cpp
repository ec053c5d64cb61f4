#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "speech/MachineId.h"
#include "speech/StringCipher.h"
#include "speech/TTSBase.h"

namespace {

template <typename F>
std::string errorOf(F&& call) {
    try {
        call();
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "no error";
}

TEST(StringCipher, HexEncoding) {
    EXPECT_EQ(StringCipher::toHex(std::string("\x0a\x00\xff\x7f", 4)), "0a00ff7f");
    EXPECT_EQ(StringCipher::fromHex("0A00Ff7f"), std::string("\x0a\x00\xff\x7f", 4));
    EXPECT_EQ(StringCipher::fromHex(""), "");
    EXPECT_EQ(errorOf([] { StringCipher::fromHex("0g"); }), "Invalid hex character 'g' in ciphertext");
    EXPECT_EQ(errorOf([] { StringCipher::fromHex("g0"); }), "Invalid hex character 'g' in ciphertext");
    EXPECT_EQ(errorOf([] { StringCipher::fromHex(" 0"); }), "Invalid hex character ' ' in ciphertext");
    EXPECT_EQ(errorOf([] { StringCipher::fromHex("abc"); }), "Hex string has odd length \u2014 possibly corrupted");
}

TEST(StringCipher, KnownStreamAndRoundTrip) {
    // Stored keys depend on this exact stream; it was worked out independently of this code.
    EXPECT_EQ(StringCipher::encrypt("Quillon", "machine-1"), "e0253a57de53f7");
    EXPECT_EQ(StringCipher::encrypt("machine-1sk-test", "machine-1"), "dc313053db52fc1914bb2207162e1614");
    EXPECT_EQ(StringCipher::decrypt("e0253a57de53f7", "machine-1"), "Quillon");

    std::string binary("\x00\x01\xfe\xff key", 8);
    EXPECT_EQ(StringCipher::decrypt(StringCipher::encrypt(binary, "k"), "k"), binary);
    EXPECT_NE(StringCipher::decrypt(StringCipher::encrypt(binary, "k"), "K"), binary);
}

TEST(StringCipher, ZeroStreamBytesAreReplaced) {
    // With the key "a%" the running hash's low byte equals the first key byte,
    // so the first stream byte would be 0 and becomes ('a' + 'a' + 90) mod 256.
    std::string stream = StringCipher::stretchKey("a%", 3);
    ASSERT_EQ(stream.size(), 3u);
    EXPECT_EQ(static_cast<unsigned char>(stream[0]), ('a' + 'a' + 90) % 256);
    EXPECT_EQ(stream.find('\0'), std::string::npos);
}

TEST(StringCipher, EmptyKeysAndInputs) {
    EXPECT_EQ(errorOf([] { StringCipher::encrypt("x", ""); }), "Key must not be empty");
    EXPECT_EQ(errorOf([] { StringCipher::decrypt("00", ""); }), "Key must not be empty");
    EXPECT_EQ(StringCipher::applyXOR("", ""), "");
    EXPECT_EQ(StringCipher::encrypt("", "k"), "");
}

class MachineIdFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder = ::testing::TempDir() + "quillon-machine-id/";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    std::string file(const std::string& name, const std::string& content) {
        std::ofstream(folder + name, std::ios::binary) << content;
        return folder + name;
    }
    std::string folder;
};

TEST_F(MachineIdFiles, TrimmedPrimaryThenFallback) {
    std::string plain = file("plain", "3d1219c7c4c5404aaa1f6d2a48adfda4");
    std::string withNewline = file("newline", "3d1219c7c4c5404aaa1f6d2a48adfda4\n");
    std::string blank = file("blank", " \t\r\n");
    EXPECT_EQ(MachineId::fromMachineIdFile(withNewline, plain), "3d1219c7c4c5404aaa1f6d2a48adfda4");
    EXPECT_EQ(MachineId::fromMachineIdFile(blank, withNewline), "3d1219c7c4c5404aaa1f6d2a48adfda4");
    EXPECT_EQ(MachineId::fromMachineIdFile(folder + "missing", plain), "3d1219c7c4c5404aaa1f6d2a48adfda4");
    try {
        MachineId::fromMachineIdFile(folder + "missing", blank);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "MachineId: neither " + folder + "missing nor " + blank + " could be read");
    }
    EXPECT_EQ(MachineId::readFile(folder + "missing"), "");
    EXPECT_EQ(MachineId::trim("\v\f id \r\n"), "id");
}

// A service of the plain kind, for the key helpers of every service.
class KeyedService : public TTSBase {
public:
    KeyedService() { usesKey = true; }
    bool createWaveFile(const std::string&, int, const std::string&) override { return false; }
    std::string getServiceName() const override { return "Keyed"; }
};

TEST(ApiKeys, RoundTripOnThisMachine) {
    KeyedService service;
    const std::string id = MachineId::get();
    for (const std::string key : {"k", "sk-proj-0123456789abcdef", "\xc3\xa4\x01 key with blanks \xff"}) {
        std::string stored = service.encryptApiKey(key);
        EXPECT_EQ(stored.size(), 2 * (id.size() + key.size()));
        std::string back = "stale";
        EXPECT_TRUE(service.decryptApiKey(stored, back));
        EXPECT_EQ(back, key);
    }
    // Not readable at a glance.
    EXPECT_EQ(service.encryptApiKey("sk-proj-0123").find(StringCipher::toHex("sk-proj")), std::string::npos);
    EXPECT_EQ(service.encryptApiKey(""), "");
    std::string back = "stale";
    EXPECT_TRUE(service.decryptApiKey("", back));
    EXPECT_EQ(back, "");
}

TEST(ApiKeys, KeyFromAnotherMachineOrDamagedIsRefused) {
    KeyedService service;
    const std::string otherId = "00000000000000000000000000000000";
    ASSERT_NE(MachineId::get(), otherId);
    std::string back = "stale";
    EXPECT_FALSE(service.decryptApiKey(StringCipher::encrypt(otherId + "sk-secret", otherId), back));
    EXPECT_EQ(back, "");
    EXPECT_FALSE(service.decryptApiKey("00", back));  // shorter than any identifier
    EXPECT_THROW(service.decryptApiKey("abc", back), std::invalid_argument);
    EXPECT_THROW(service.decryptApiKey("zz", back), std::invalid_argument);
}

}  // namespace
