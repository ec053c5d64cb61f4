// Reads a text file line by line through a large buffer. Lines come without
// their line feed and are cut to a maximum length; the rest of a longer line
// is dropped rather than read as a line of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

class LineReader {
public:
    // `maxLength` counts the terminator, as a fgets buffer would; at most
    // `limit` bytes are read from the file's current position.
    LineReader(FILE* file, size_t maxLength, uint64_t limit = UINT64_MAX);
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line, NUL-terminated and writable until the next call; null at the end of the file.
    char* next(size_t* length = nullptr);
    // Bytes taken from the file so far: where the next line starts, unless the
    // line handed out last was cut and its rest is yet to be dropped.
    uint64_t consumed() const { return m_Read - (m_End - m_Begin); }

private:
    char* handOut(char* line, size_t length, size_t* outLength);

    FILE* m_File;
    size_t m_MaxLength;
    size_t m_Size;
    std::unique_ptr<char[]> m_Buffer;  // not cleared: only what was read is looked at
    size_t m_Begin = 0;  // unread data is [m_Begin, m_End)
    size_t m_End = 0;
    uint64_t m_Read = 0;
    uint64_t m_Limit;
    bool m_Eof = false;
    bool m_Skipping = false;  // inside the dropped rest of an over-long line
};
