// Lines come out whole across buffer refills, cut at the limit, with the rest
// of an over-long line dropped and a last line without its line feed kept.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/LineReader.h"

namespace {

std::vector<std::string> readAll(const std::string& content, size_t maxLength) {
    FILE* file = tmpfile();
    fwrite(content.data(), 1, content.size(), file);
    rewind(file);
    std::vector<std::string> lines;
    {
        LineReader reader(file, maxLength);
        size_t length = 0;
        while (const char* line = reader.next(&length)) {
            EXPECT_EQ(length, std::string(line).size());
            lines.emplace_back(line, length);
        }
    }
    fclose(file);
    return lines;
}

TEST(LineReader, LinesAcrossRefillsLongLinesAndTheLastLine) {
    std::string content;
    std::vector<std::string> expected;
    for (int i = 0; i < 60000; ++i) {  // several megabytes: many refills, lines split across them
        std::string line = "row " + std::to_string(i) + std::string(static_cast<size_t>(i % 97), 'x');
        if (i % 5000 == 1) line = std::string(7000, 'L') + " hidden row";
        content += line + (i % 3 ? "\n" : "\r\n");
        expected.push_back(line.substr(0, 4999) + (i % 3 || line.size() >= 4999 ? "" : "\r"));
    }
    content += "last line without a line feed";
    expected.push_back("last line without a line feed");
    const auto lines = readAll(content, 5000);
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(lines[i], expected[i]) << i;

    EXPECT_TRUE(readAll("", 5000).empty());
    EXPECT_EQ(readAll("\n\nx", 5000), (std::vector<std::string>{"", "", "x"}));
    EXPECT_EQ(readAll(std::string(6000, 'a'), 5000), (std::vector<std::string>{std::string(4999, 'a')}));
}

TEST(LineReader, ALimitEndsTheFileAndConsumedTellsWhereTheNextLineStarts) {
    FILE* file = tmpfile();
    const std::string content = "first\r\nsecond\n" + std::string(30, 'x') + "\nafter the long one\nbeyond";
    fwrite(content.data(), 1, content.size(), file);
    rewind(file);
    {
        LineReader reader(file, 20, content.size() - 6);  // stops short of "beyond"
        std::vector<std::pair<std::string, uint64_t>> lines;
        while (const char* line = reader.next()) lines.emplace_back(line, reader.consumed());
        const std::vector<std::pair<std::string, uint64_t>> expected = {
            {"first\r", 7}, {"second", 14}, {std::string(19, 'x'), 45},  // cut, its rest dropped at once
            {"after the long one", 64},
        };
        EXPECT_EQ(lines, expected);
    }
    fclose(file);
}

}  // namespace
