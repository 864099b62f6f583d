#include "csvrow.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

#include "trajectories.h"

namespace orlex::import {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

bool SplitCsvRow(std::string_view line, std::vector<std::string>& fields) {
    fields.clear();
    std::size_t at = 0;
    while (true) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        std::string field;
        if (at < line.size() && line[at] == '"') {
            ++at;
            bool closed = false;
            while (at < line.size()) {
                if (line[at] == '"') {
                    if (at + 1 < line.size() && line[at + 1] == '"') {
                        field += '"';
                        at += 2;
                        continue;
                    }
                    closed = true;
                    ++at;
                    break;
                }
                field += line[at++];
            }
            if (!closed) return false;
            const std::size_t comma = line.find(',', at);
            at = comma == std::string_view::npos ? line.size() + 1 : comma + 1;
        } else {
            const std::size_t comma = line.find(',', at);
            const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
            field = Trimmed(line.substr(at, end - at));
            at = end + 1;
        }
        fields.push_back(std::move(field));
        if (at > line.size()) return true;
    }
}

bool TLineReader::Next(std::string_view& line) {
    if (At_ >= Text_.size()) return false;
    std::size_t end = Text_.find('\n', At_);
    if (end == std::string_view::npos) end = Text_.size();
    line = Text_.substr(At_, end - At_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    At_ = end + 1;
    ++Number_;
    return true;
}

bool CsvNumber(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

std::string CsvLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

TNumberTable::TNumberTable(std::string name, const std::vector<std::string>& header,
                           std::vector<const char*> names, bool anyCase)
    : Name_(std::move(name)), Names_(std::move(names)), Width_(header.size()) {
    for (const char* wanted : Names_) {
        std::size_t column = header.size();
        for (std::size_t k = 0; k < header.size(); ++k) {
            if (anyCase ? CsvLower(header[k]) == CsvLower(wanted) : header[k] == wanted) column = k;
        }
        if (column == header.size())
            Fail(1, "the header has no column \"" + std::string(wanted) + "\"");
        Columns_.push_back(column);
    }
}

void TNumberTable::Fail(long long row, const std::string& what) const {
    throw TImportError(Name_ + ", row " + std::to_string(row) + ": " + what);
}

bool TNumberTable::Read(std::string_view line, long long row, bool moreFields, double* values) {
    if (line.find_first_not_of(" \t") == std::string_view::npos) return false;
    if (!SplitCsvRow(line, Fields_)) Fail(row, "a quoted field is not closed");
    if (Fields_.size() < Width_ || (!moreFields && Fields_.size() != Width_))
        Fail(row, std::to_string(Fields_.size()) + " fields where the header has " +
                      std::to_string(Width_));
    for (std::size_t c = 0; c < Columns_.size(); ++c) {
        const std::string& field = Fields_[Columns_[c]];
        if (!CsvNumber(field, values[c]))
            Fail(row, std::string(Names_[c]) + " is not a number (\"" + field + "\")");
    }
    return true;
}

}  // namespace orlex::import
