// Reading CSV files by column name. The first line names the columns; fields
// keep their blanks and are not converted; a field may be quoted with '"'
// (a doubled quote inside stands for one). Blank lines are skipped.
#pragma once

#include <string>
#include <vector>

struct CsvTable {
    // One entry per data row: the fields of the asked columns, in the order asked.
    std::vector<std::vector<std::string>> rows;
    // Rows that did not split into the header's fields (a quote left open, a
    // field too many or too few) are left out and counted here.
    int skippedRows = 0;
    std::string firstSkipped;  // "line %u: reason" of the first of them
};

// Reads `columns` (one to four names) from CSV text; `separator` is ',' or '*'.
// False when the text has no header line or the header lacks one of the
// columns; `error` then says why and `table` holds no rows.
bool readCsvColumns(const std::string& text, const std::string& fileName, char separator,
                    const std::vector<std::string>& columns, CsvTable& table, std::string& error);

// The same for a file, logging what went wrong: the reason when the file
// cannot be read or lacks a column, else the number of damaged rows left out.
bool readCsvFile(const std::string& path, char separator, const std::vector<std::string>& columns, CsvTable& table);
