#include "csvrow.h"

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

}  // namespace orlex::import
