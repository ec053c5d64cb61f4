#include "LineReader.h"

#include <cstring>

namespace {
constexpr size_t CHUNK_SIZE = 1 << 18;
}

LineReader::LineReader(FILE* file, size_t maxLength, uint64_t limit)
    : m_File(file),
      m_MaxLength(maxLength < 2 ? 2 : maxLength),
      m_Size(CHUNK_SIZE + m_MaxLength + 1),
      m_Buffer(new char[m_Size]),
      m_Limit(limit) {}

char* LineReader::handOut(char* line, size_t length, size_t* outLength) {
    if (length > m_MaxLength - 1) {
        length = m_MaxLength - 1;
        line[length] = '\0';
    }
    if (outLength) *outLength = length;
    return line;
}

char* LineReader::next(size_t* length) {
    for (;;) {
        char* data = m_Buffer.get();
        char* begin = data + m_Begin;
        const size_t pending = m_End - m_Begin;
        if (char* lineFeed = static_cast<char*>(memchr(begin, '\n', pending))) {
            *lineFeed = '\0';
            m_Begin = static_cast<size_t>(lineFeed + 1 - data);
            if (m_Skipping) {
                m_Skipping = false;
                continue;
            }
            return handOut(begin, static_cast<size_t>(lineFeed - begin), length);
        }
        if (m_Eof) {
            if (pending == 0 || m_Skipping) return nullptr;
            begin[pending] = '\0';  // the buffer keeps one byte beyond the data for this
            m_Begin = m_End;
            return handOut(begin, pending, length);
        }
        if (m_Skipping) {
            m_Begin = m_End = 0;
        } else if (pending >= m_MaxLength - 1) {
            // A line longer than the limit: its head is the line, the rest is skipped.
            m_Begin = m_End;
            m_Skipping = true;
            return handOut(begin, pending, length);
        } else {
            memmove(data, begin, pending);
            m_Begin = 0;
            m_End = pending;
        }
        size_t room = m_Size - 1 - m_End;
        if (m_Limit - m_Read < room) room = static_cast<size_t>(m_Limit - m_Read);
        const size_t got = m_File && room ? fread(data + m_End, 1, room, m_File) : 0;
        m_End += got;
        m_Read += got;
        if (got < room || m_Read == m_Limit) m_Eof = true;
    }
}
