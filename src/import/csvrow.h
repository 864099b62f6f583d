// Fields of one comma-separated row, with double-quoted fields ("" inside quotes is
// one quote), for the CSV formats of other tools.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orlex::import {

// Splits line into fields (quotes removed, spaces around unquoted fields trimmed).
// False when a quoted field is not closed.
bool SplitCsvRow(std::string_view line, std::vector<std::string>& fields);

// The lines of a text one after the other, numbered from 1, without "\r\n" ends.
class TLineReader {
public:
    explicit TLineReader(std::string_view text) : Text_(text) {}
    bool Next(std::string_view& line);
    long long Number() const { return Number_; }

private:
    std::string_view Text_;
    std::size_t At_ = 0;
    long long Number_ = 0;
};

// A CSV table whose header row names the number columns wanted. A fault throws a
// TImportError naming the file and the row ("NAME, row 5: ...").
class TNumberTable {
public:
    // Finds names (the columns wanted, in their order) among the header's fields; with
    // anyCase a field matches a name whatever its case.
    TNumberTable(std::string name, const std::vector<std::string>& header,
                 std::vector<const char*> names, bool anyCase);
    std::size_t Width() const { return Width_; }
    std::size_t Column(int wanted) const { return Columns_[static_cast<std::size_t>(wanted)]; }
    // The numbers of the wanted columns in line (row number row) into values, one each;
    // false for a blank line. With moreFields a row may hold more fields than the header.
    bool Read(std::string_view line, long long row, bool moreFields, double* values);
    [[noreturn]] void Fail(long long row, const std::string& what) const;

private:
    std::string Name_;
    std::vector<const char*> Names_;
    std::vector<std::size_t> Columns_;
    std::size_t Width_ = 0;
    std::vector<std::string> Fields_;
};

// A whole finite number, nothing else in text.
bool CsvNumber(std::string_view text, double& value);
// text in lower case (ASCII), for headers matched whatever their case.
std::string CsvLower(std::string_view text);

}  // namespace orlex::import
