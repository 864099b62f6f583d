#include "optionparser.h"

#include <algorithm>

namespace orlex::info {

namespace {

// The characters of UTF-8 text, each as its bytes: help columns count characters.
std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> out;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xc0) == 0x80 && !out.empty())
            out.back() += c;
        else
            out.emplace_back(1, c);
    }
    return out;
}

bool IsSpace(const std::string& c) {
    return c.size() == 1 && (c[0] == ' ' || (c[0] >= '\t' && c[0] <= '\r'));
}

std::string Join(const std::vector<std::string>& characters, std::size_t from, std::size_t count) {
    std::string out;
    for (std::size_t i = from; i < from + count && i < characters.size(); ++i) out += characters[i];
    return out;
}

// One option's lines: its names (split over lines when wider than the column) and
// its description, broken at spaces to end by column 79.
std::string WrapText(const std::string& names, int nameWidth, const std::string& description) {
    const std::vector<std::string> nameChars = Characters(names);
    std::size_t nameIndex = 0;
    const auto nextNameSection = [&] {
        const std::size_t count =
            std::min(nameChars.size() - nameIndex, static_cast<std::size_t>(nameWidth));
        std::string section = Join(nameChars, nameIndex, count);
        nameIndex += count;
        return section;
    };
    const auto padded = [&](std::string section) {
        const auto width = static_cast<int>(Characters(section).size());
        if (width < nameWidth) section.append(static_cast<std::size_t>(nameWidth - width), ' ');
        return section;
    };

    const std::vector<std::string> text = Characters(description);
    const auto len = static_cast<long>(text.size());
    const int max = 79 - (2 + nameWidth + 1);
    std::string out;
    long lineStart = 0;
    long lastBreakable = -1;
    int x = 0;
    for (long i = 0; i < len; ++i) {
        ++x;
        const std::string& c = text[static_cast<std::size_t>(i)];
        if (IsSpace(c)) lastBreakable = i;
        long breakAt = -1;
        long nextLineStart = -1;
        if (x > max && lastBreakable != -1) {
            breakAt = lastBreakable;  // break at the last space
            nextLineStart = lastBreakable + 1;
        } else if ((x > max - 1 && lastBreakable == -1) || i == len - 1) {
            breakAt = i + 1;  // no space to break at, or the end of the text
            nextLineStart = breakAt;
        } else if (c == "\n") {
            breakAt = i;
            nextLineStart = i + 1;
        }
        if (breakAt != -1) {
            out += "  " + padded(nextNameSection()) + " ";
            out += Join(text, static_cast<std::size_t>(lineStart),
                        static_cast<std::size_t>(breakAt - lineStart)) +
                   "\n";
            x = 0;
            lastBreakable = -1;
            lineStart = nextLineStart;
            // A line does not start with a space.
            if (lineStart < len && IsSpace(text[static_cast<std::size_t>(lineStart)])) ++lineStart;
            i = lineStart;
        }
    }
    while (nameIndex < nameChars.size()) out += "  " + nextNameSection() + "\n";
    return out;
}

}  // namespace

void TOptionParser::Add(TOptionSpec option) {
    Options_.push_back(std::move(option));
}

int TOptionParser::Find(const std::string& name) const {
    for (std::size_t i = 0; i < Options_.size(); ++i) {
        const std::vector<std::string>& names = Options_[i].Names;
        if (std::find(names.begin(), names.end(), name) != names.end()) return static_cast<int>(i);
    }
    return -1;
}

bool TOptionParser::Register(const std::string& name) {
    const int index = Find(name);
    if (index < 0) {
        Unknown_.push_back(name);
        return false;
    }
    Set_[static_cast<std::size_t>(index)] = true;
    return true;
}

bool TOptionParser::TakeValue(const std::string& name, const std::string& argument, std::size_t& i,
                              const std::vector<std::string>& args) {
    const int index = Find(name);
    if (index < 0) return true;
    const std::size_t assign = argument.find('=');
    std::vector<std::string>& values = Values_[static_cast<std::size_t>(index)];
    if (!Options_[static_cast<std::size_t>(index)].ValueName.empty()) {
        if (assign != std::string::npos) {
            values.push_back(argument.substr(assign + 1));
            return true;
        }
        if (++i == args.size()) {
            Error_ = "Missing value after '" + argument + "'.";
            return false;
        }
        values.push_back(args[i]);
        return true;
    }
    if (assign != std::string::npos) {
        Error_ = "Unexpected value after '" + argument.substr(0, assign) + "'.";
        return false;
    }
    return true;
}

bool TOptionParser::Parse(const std::vector<std::string>& args) {
    Values_.assign(Options_.size(), {});
    Set_.assign(Options_.size(), false);
    Positional_.clear();
    Unknown_.clear();
    Error_.clear();
    bool ok = true;
    bool onlyFiles = false;  // after "--"
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& argument = args[i];
        if (onlyFiles || argument.size() < 2 || argument[0] != '-') {
            Positional_.push_back(argument);  // "-" alone too: standard input
        } else if (argument[1] == '-') {
            if (argument.size() == 2) {
                onlyFiles = true;
                continue;
            }
            const std::string name = argument.substr(2, argument.find('=') - 2);
            if (!Register(name) || !TakeValue(name, argument, i, args)) ok = false;
        } else {
            // Single letters, run together: "-hv"; a letter that takes a value takes
            // the rest of the argument ("-fVALUE", "-f=VALUE") or the next one.
            std::string name;
            bool valueFound = false;
            for (std::size_t pos = 1; pos < argument.size(); ++pos) {
                name = argument.substr(pos, 1);
                if (!Register(name)) {
                    ok = false;
                    continue;
                }
                const auto index = static_cast<std::size_t>(Find(name));
                const bool next = pos + 1 < argument.size();
                if (!Options_[index].ValueName.empty()) {
                    if (next) {
                        if (argument[pos + 1] == '=') ++pos;
                        Values_[index].push_back(argument.substr(pos + 1));
                        valueFound = true;
                    }
                    break;
                }
                if (next && argument[pos + 1] == '=') break;
            }
            if (!valueFound && !TakeValue(name, argument, i, args)) ok = false;
        }
        if (i >= args.size()) break;
    }
    if (Error_.empty() && Unknown_.size() == 1) {
        Error_ = "Unknown option '" + Unknown_.front() + "'.";
    } else if (Error_.empty() && Unknown_.size() > 1) {
        Error_ = "Unknown options: ";
        for (std::size_t k = 0; k < Unknown_.size(); ++k)
            Error_ += (k == 0 ? "" : ", ") + Unknown_[k];
        Error_ += ".";
    }
    return ok;
}

bool TOptionParser::IsSet(const std::string& name) const {
    const int index = Find(name);
    return index >= 0 && static_cast<std::size_t>(index) < Set_.size() &&
           Set_[static_cast<std::size_t>(index)];
}

std::string TOptionParser::Value(const std::string& name) const {
    const int index = Find(name);
    if (index < 0 || static_cast<std::size_t>(index) >= Values_.size()) return {};
    const std::vector<std::string>& values = Values_[static_cast<std::size_t>(index)];
    return values.empty() ? std::string() : values.back();
}

std::string TOptionParser::HelpText(const std::string& program, const std::string& description,
                                    const std::string& argument,
                                    const std::string& argumentDescription) const {
    std::vector<std::string> names;
    int widest = 0;
    for (const TOptionSpec& option : Options_) {
        std::string text;
        for (const std::string& name : option.Names)
            text += (text.empty() ? "" : ", ") + std::string(name.size() == 1 ? "-" : "--") + name;
        if (!option.ValueName.empty()) text += " <" + option.ValueName + ">";
        widest = std::max(widest, static_cast<int>(Characters(text).size()));
        names.push_back(std::move(text));
    }
    const int nameWidth = std::min(50, widest + 1);
    std::string out = "Usage: " + program + (Options_.empty() ? "" : " [options]") + " " +
                      argument + "\n" + (description.empty() ? "" : description + "\n") + "\n";
    if (!Options_.empty()) out += "Options:\n";
    for (std::size_t i = 0; i < Options_.size(); ++i)
        out += WrapText(names[i], nameWidth, Options_[i].Description);
    if (!Options_.empty()) out += "\n";
    out += "Arguments:\n" + WrapText(argument, nameWidth, argumentDescription);
    return out;
}

}  // namespace orlex::info
