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

}  // namespace orlex::import
