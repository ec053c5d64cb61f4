#include "ServiceRequest.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

SpeechTimeouts& speechTimeouts() {
    static SpeechTimeouts timeouts;
    return timeouts;
}

std::string serviceBaseUrl(const char* variable, const char* realUrl) {
    const char* value = getenv(variable);
    return value && *value ? value : realUrl;
}

std::string replyTooLargeText() {
    return "the reply is larger than " + std::to_string(MAX_SPEECH_REPLY_BYTES >> 20) + " MB";
}

namespace {

bool isMpegFrameHeader(const std::string& bytes, size_t at) {
    if (bytes.size() < at + 4) return false;
    auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    if (b(0) != 0xff || (b(1) & 0xe0) != 0xe0) return false;
    int version = (b(1) >> 3) & 3;
    int layer = (b(1) >> 1) & 3;
    int bitrate = b(2) >> 4;
    int rate = (b(2) >> 2) & 3;
    return version != 1 && layer != 0 && bitrate != 15 && rate != 3;
}

}  // namespace

bool isMp3Audio(const std::string& bytes) {
    size_t start = 0;
    if (bytes.compare(0, 3, "ID3") == 0 && bytes.size() >= 10) {
        // The tag size is four 7-bit bytes, then the header itself and an optional footer.
        size_t size = 0;
        for (int i = 6; i < 10; ++i) size = (size << 7) | (static_cast<unsigned char>(bytes[i]) & 0x7f);
        bool footer = (static_cast<unsigned char>(bytes[5]) & 0x10) != 0;
        start = 10 + size + (footer ? 10 : 0);
    }
    return isMpegFrameHeader(bytes, start);
}

bool writeAudioFile(const std::string& fileName, const std::string& bytes) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out) return true;
    std::remove(fileName.c_str());
    return false;
}

std::string describeReply(long status, const std::string& contentType, const std::string& body) {
    std::string text = "HTTP status " + std::to_string(status) + ", ";
    text += contentType.empty() ? std::string("no content type") : contentType;
    text += ", " + std::to_string(body.size()) + " bytes that are not MP3 audio";
    return text;
}
