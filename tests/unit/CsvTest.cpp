#include <gtest/gtest.h>

#include "common/Csv.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(Csv, ColumnsByNameWithQuotesAndBlanksKept) {
    struct Case {
        const char* text;
        char separator;
        Rows rows;
    };
    const std::vector<Case> cases = {
        // Asked order, not file order; extra columns ignored; blanks kept.
        {"Extra,Country,Path\nx, Canada ,a.mp3\n", ',', {{"a.mp3", " Canada "}}},
        // Quoted separators and doubled quotes; CRLF line ends; blank lines skipped.
        {"Path,Country\r\n\"a,b.mp3\",\"The \"\"North\"\"\"\r\n\r\nc.mp3,\r\n", ',',
         {{"a,b.mp3", "The \"North\""}, {"c.mp3", ""}}},
        // '*' separates; commas and backslashes are plain text.
        {"Artist*Path\nKBOS Boston, Tower*C:\\Regions\\\n", '*', {{"C:\\Regions\\", "KBOS Boston, Tower"}}},
        // A byte-order mark before the header, no line end after the last row.
        {"\xEF\xBB\xBFPath,Country\nz.wav,Canada", ',', {{"z.wav", "Canada"}}},
        // A quote inside an unquoted field stays.
        {"Path,Country\nit's \"fine\".mp3,X\n", ',', {{"it's \"fine\".mp3", "X"}}},
    };
    for (const Case& test : cases) {
        CsvTable table;
        std::string error;
        const std::vector<std::string> columns = {"Path", test.separator == '*' ? "Artist" : "Country"};
        EXPECT_TRUE(readCsvColumns(test.text, "test.csv", test.separator, columns, table, error))
            << test.text << error;
        EXPECT_EQ(table.rows, test.rows) << test.text;
        EXPECT_EQ(table.skippedRows, 0) << test.text;
    }
}

TEST(Csv, DamagedRowsAreLeftOutAndCounted) {
    CsvTable table;
    std::string error;
    ASSERT_TRUE(readCsvColumns("A,B\n1,2\n\"3,4\n5\n6,7,8\n9,10\n", "t.csv", ',', {"A", "B"}, table, error));
    EXPECT_EQ(table.rows, (Rows{{"1", "2"}, {"9", "10"}}));
    EXPECT_EQ(table.skippedRows, 3);
    EXPECT_EQ(table.firstSkipped.rfind("line 3: ", 0), 0u) << table.firstSkipped;
}

}  // namespace
