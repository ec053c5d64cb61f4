// Whole-file reads and crash-safe writes for the plug-in's own files.
#pragma once

#include <string>

// Reads at most `maxBytes` of the file; false when it cannot be opened.
bool readTextFile(const std::string& path, std::string& content, size_t maxBytes = 64u << 20);
// Writes a temporary file beside `path`, flushes it to disk and renames it
// over `path`, so that a crash or a full disk leaves the old file intact.
bool writeFileAtomically(const std::string& path, const std::string& content);
