// What every speech-service request shares: how long it may take, where it
// goes, and what counts as audio.
#pragma once

#include <cstddef>
#include <string>

// A dead network or a stuck tool must not hold a synthesis thread forever.
struct SpeechTimeouts {
    long connectMilliseconds = 10000;    // reaching the service
    long requestMilliseconds = 90000;    // one synthesis, from the start to the last byte of the answer
    long enumerateMilliseconds = 30000;  // the AWS tool's voice list, while the services are created
};
SpeechTimeouts& speechTimeouts();

// A reply larger than this is not speech: it is cut off instead of filling memory.
constexpr size_t MAX_SPEECH_REPLY_BYTES = 64 * 1024 * 1024;
// Why such a reply was refused, for messages.
std::string replyTooLargeText();

// The service's real address, or the one in environment variable `variable` when set.
std::string serviceBaseUrl(const char* variable, const char* realUrl);

// True when the bytes start like an MP3 stream: an ID3v2 tag followed by, or
// directly, an MPEG audio frame header.
bool isMp3Audio(const std::string& bytes);

// Writes the bytes to `fileName`, replacing it; a file that could not be
// written completely is removed. False when it could not be opened or written.
bool writeAudioFile(const std::string& fileName, const std::string& bytes);

// A short description of a reply that is not audio, for messages.
std::string describeReply(long status, const std::string& contentType, const std::string& body);
