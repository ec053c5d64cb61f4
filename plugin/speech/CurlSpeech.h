// The speech request of the services that take a JSON body over HTTPS with a
// bearer key and answer with MP3 audio or a JSON error object.
#pragma once

#include <string>

// Posts `body` to `url` and writes the audio of the answer to `fileName`.
// `service` names the service in the messages ("OpenAI"). Every failure is
// logged and shown in a message box; true only when the file was written.
bool postSpeechRequest(const std::string& service, const std::string& url, const std::string& apiKey,
                       const std::string& body, const std::string& fileName);
