#include "Csv.h"

// The reader's own thread only pays off for files far larger than ours.
#define CSV_IO_NO_THREAD
#include <limits>  // the header uses it without including it
#include <libfccp/csv.h>

#include <array>
#include <exception>
#include <utility>

#include "Common.h"
#include "Files.h"

namespace {

template <char Separator, unsigned N>
using Reader = io::CSVReader<N, io::trim_chars<>, io::double_quote_escape<Separator, '"'>, io::throw_on_overflow,
                             io::empty_line_comment>;

template <char Separator, unsigned N, size_t... I>
bool readColumns(const std::string& text, const std::string& fileName, const std::vector<std::string>& columns,
                 CsvTable& table, std::string& error, std::index_sequence<I...>) {
    try {
        Reader<Separator, N> reader(fileName, text.data(), text.data() + text.size());
        reader.read_header(io::ignore_extra_column, columns[I]...);
        std::array<std::string, N> fields;
        for (;;) {
            try {
                if (!reader.read_row(fields[I]...)) break;
                table.rows.emplace_back(fields.begin(), fields.end());
            } catch (const io::error::line_length_limit_exceeded&) {
                throw;
            } catch (const io::error::base& rowError) {
                // The line was consumed; a damaged row costs only itself.
                if (table.skippedRows++ == 0)
                    table.firstSkipped = "line " + std::to_string(reader.get_file_line()) + ": " + rowError.what();
            }
        }
        return true;
    } catch (const std::exception& fileError) {
        table = CsvTable();
        error = fileError.what();
        return false;
    }
}

template <char Separator>
bool readWithSeparator(const std::string& text, const std::string& fileName, const std::vector<std::string>& columns,
                       CsvTable& table, std::string& error) {
    switch (columns.size()) {
        case 1:
            return readColumns<Separator, 1>(text, fileName, columns, table, error, std::make_index_sequence<1>());
        case 2:
            return readColumns<Separator, 2>(text, fileName, columns, table, error, std::make_index_sequence<2>());
        case 3:
            return readColumns<Separator, 3>(text, fileName, columns, table, error, std::make_index_sequence<3>());
        case 4:
            return readColumns<Separator, 4>(text, fileName, columns, table, error, std::make_index_sequence<4>());
        default:
            error = "between one and four columns can be read";
            return false;
    }
}

}  // namespace

bool readCsvColumns(const std::string& text, const std::string& fileName, char separator,
                    const std::vector<std::string>& columns, CsvTable& table, std::string& error) {
    table = CsvTable();
    error.clear();
    switch (separator) {
        case ',':
            return readWithSeparator<','>(text, fileName, columns, table, error);
        case '*':
            return readWithSeparator<'*'>(text, fileName, columns, table, error);
        default:
            error = std::string("unsupported separator ") + separator;
            return false;
    }
}

bool readCsvFile(const std::string& path, char separator, const std::vector<std::string>& columns, CsvTable& table) {
    std::string text;
    std::string error = "unable to open the file";
    const bool ok = readTextFile(path, text) && readCsvColumns(text, path, separator, columns, table, error);
    if (!ok) {
        table = CsvTable();
        sLogMsg("ERROR: unable to read %s: %s", path.c_str(), error.c_str());
    } else if (table.skippedRows > 0) {
        sLogMsg("WARNING: %d damaged lines skipped in %s (first at %s)", table.skippedRows, path.c_str(),
                table.firstSkipped.c_str());
    }
    return ok;
}
