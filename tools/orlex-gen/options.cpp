// Command-line options of orlex-gen.
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "generator.h"

namespace orlex::gen {
namespace {

// Strict decimal parse of the whole text into [lo, hi].
std::optional<int64_t> ParseInteger(const std::string& text, int64_t lo, int64_t hi) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size()) return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        if (value > (std::numeric_limits<int64_t>::max() - (c - '0')) / 10) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value < lo || value > hi) return std::nullopt;
    return value;
}

std::optional<uint64_t> ParseSeed(const std::string& text) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// Strict decimal number without sign or exponent ("30", "0.6", "1.").
std::optional<double> ParseDecimal(std::string_view text) {
    if (text.empty() || text.size() > 32) return std::nullopt;
    int digits = 0;
    int points = 0;
    for (const char c : text) {
        if (c == '.') {
            ++points;
        } else if (c >= '0' && c <= '9') {
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || points > 1) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

struct TRangeOption {
    std::string_view Name;
    std::string_view Rule;  // the range, as the message states it
    double TGenOptions::*Min;
    double TGenOptions::*Max;
    bool ZeroAllowed;
    double Hi;
};

constexpr TRangeOption kRangeOptions[] = {
    {"--response", "seconds with 0 <= MIN <= MAX <= 86400", &TGenOptions::ResponseMin,
     &TGenOptions::ResponseMax, true, kMaxResponse},
    {"--speed", "m/s with 0 < MIN <= MAX <= 10", &TGenOptions::SpeedMin, &TGenOptions::SpeedMax,
     false, kMaxSpeed},
};

// "MIN,MAX" within the option's range; the message when it is not.
std::optional<std::string> ParseRange(const TRangeOption& opt, const std::string& value,
                                      TGenOptions& options) {
    const std::string_view text(value);
    const std::size_t comma = text.find(',');
    std::optional<double> lo;
    std::optional<double> hi;
    if (comma != std::string_view::npos) {
        lo = ParseDecimal(text.substr(0, comma));
        hi = ParseDecimal(text.substr(comma + 1));
    }
    const auto inRange = [&](double v) { return (opt.ZeroAllowed || v > 0) && v <= opt.Hi; };
    if (!lo || !hi || !inRange(*lo) || !inRange(*hi) || *lo > *hi) {
        return std::string(opt.Name) + " needs MIN,MAX in " + std::string(opt.Rule) + ", not \"" +
               value + "\"";
    }
    options.*opt.Min = *lo;
    options.*opt.Max = *hi;
    return std::nullopt;
}

struct TIntOption {
    std::string_view Name;
    int TGenOptions::*Field;
    int64_t Lo;
    int64_t Hi;
};

constexpr TIntOption kIntOptions[] = {
    {"--decks", &TGenOptions::Decks, 1, kMaxDecks},
    {"--columns", &TGenOptions::Columns, kMinColumns, kMaxSide},
    {"--rows", &TGenOptions::Rows, kMinRows, kMaxSide},
    {"--persons", &TGenOptions::Persons, 0, kMaxPersons},
    {"--steps", &TGenOptions::Steps, 0, kMaxSteps},
    {"--vmax", &TGenOptions::VMax, 1, kMaxVMax},
    {"--runs", &TGenOptions::Runs, 1, kMaxRuns},
    {"--toff", &TGenOptions::TOff, std::numeric_limits<int>::min(),
     std::numeric_limits<int>::max()},
};

}  // namespace

bool ApplyProfile(const std::string& name, TGenOptions& options) {
    if (name == "sample") {
        options.Model = TModel::Ca;
        options.Decks = 3;
        options.Columns = 160;
        options.Rows = 48;
        options.Persons = 300;
        options.Steps = 4800;  // a cap of 20 minutes
        options.Seed = 1;
        options.VMax = 4;
        options.TOff = 0;
        options.ResponseMin = 30;
        options.ResponseMax = 300;
        options.SpeedMin = 0.6;
        options.SpeedMax = 1.4;
        return true;
    }
    if (name == "large") {
        // About 145 MB and 156 million steps: the benchmark file, kept as it was.
        options.Model = TModel::Classic;
        options.Decks = 12;
        options.Columns = 1000;
        options.Rows = 200;
        options.Persons = 20000;
        options.Steps = 12000;
        options.Seed = 1;
        options.VMax = 4;
        options.TOff = 0;
        options.ResponseMin = 30;
        options.ResponseMax = 300;
        options.SpeedMin = 0.6;
        options.SpeedMax = 1.4;
        return true;
    }
    return false;
}

std::string UsageText() {
    return "Usage: orlex-gen [options]\n"
           "Writes a deterministic, plausible 3D log file (ship decks and persons).\n"
           "\n"
           "  --profile NAME  preset: sample (the bundled sample) or large (benchmarks)\n"
           "  --model M       ca: the evacuation model (one person a cell, queues, response\n"
           "                  times and speeds); classic: the old random walk (default for\n"
           "                  the large profile only)\n"
           "  --decks N       number of decks (1 to 1000)\n"
           "  --columns X     columns of every deck (16 to 100000)\n"
           "  --rows Y        rows of every deck (8 to 100000)\n"
           "  --persons P     number of persons (0 to 10000000)\n"
           "  --steps S       classic: longest track; ca: the safety cap, a run still going\n"
           "                  then fails (0 to 100000000 steps)\n"
           "  --seed N        seed of the case, and of its runs (0 to 2^64-1)\n"
           "  --runs K        ca: K runs of the case (1 to 1000), each with its own response\n"
           "                  times, speeds and conflicts; -o needs a %02d field\n"
           "  --response MIN,MAX  ca: response time before the first move, seconds\n"
           "                  (default 30,300)\n"
           "  --speed MIN,MAX ca: walking speed in m/s (default 0.6,1.4), half of it on\n"
           "                  stairs; one 0.4 m cell a step at most\n"
           "  --vmax V        steps per simulated second (1 to 1000, default 4)\n"
           "  --toff T        time offset in seconds (default 0)\n"
           "  -o FILE         output file (default: standard output); \"%02d\" in it stands\n"
           "                  for the run number, from 01\n"
           "  -h, --help      this text\n"
           "\n"
           "Without --profile the values of the sample profile apply. Explicit options\n"
           "override the profile. The same arguments always give the same bytes.\n"
           "Exit status: 0 written, 1 a case that cannot be run or a file not written,\n"
           "2 a usage error.\n";
}

TParseResult ParseArguments(const std::vector<std::string>& args) {
    TParseResult result;
    // Split into (name, value) pairs first so that the profile can be applied
    // before the explicit options.
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            result.Ok = true;
            result.Help = true;
            return result;
        }
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        if (arg.rfind("--", 0) == 0) {
            const std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
                hasValue = true;
            }
        } else if (arg != "-o") {
            result.Error = "unexpected argument \"" + arg + "\"";
            return result;
        }
        bool known = name == "-o" || name == "--output" || name == "--profile" ||
                     name == "--seed" || name == "--model";
        for (const TRangeOption& opt : kRangeOptions) known = known || name == opt.Name;
        for (const TIntOption& opt : kIntOptions) known = known || name == opt.Name;
        if (!known) {
            result.Error = "unknown option " + name;
            return result;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                result.Error = "option " + name + " needs a value";
                return result;
            }
            value = args[++i];
        }
        pairs.emplace_back(name, value);
    }

    TGenOptions options;
    ApplyProfile("sample", options);
    for (const auto& [name, value] : pairs) {
        if (name == "--profile" && !ApplyProfile(value, options)) {
            result.Error = "unknown profile \"" + value + "\" (use sample or large)";
            return result;
        }
    }
    for (const auto& [name, value] : pairs) {
        if (name == "--profile") continue;
        if (name == "-o" || name == "--output") {
            if (value.empty()) {
                result.Error = "option " + name + " needs a file name";
                return result;
            }
            options.Output = value;
            continue;
        }
        if (name == "--seed") {
            const auto seed = ParseSeed(value);
            if (!seed) {
                result.Error =
                    "--seed needs a number from 0 to 18446744073709551615, not \"" + value + "\"";
                return result;
            }
            options.Seed = *seed;
            continue;
        }
        if (name == "--model") {
            if (value != "ca" && value != "classic") {
                result.Error = "--model needs ca or classic, not \"" + value + "\"";
                return result;
            }
            options.Model = value == "ca" ? TModel::Ca : TModel::Classic;
            continue;
        }
        for (const TRangeOption& opt : kRangeOptions) {
            if (name != opt.Name) continue;
            if (const auto error = ParseRange(opt, value, options)) {
                result.Error = *error;
                return result;
            }
        }
        for (const TIntOption& opt : kIntOptions) {
            if (name != opt.Name) continue;
            const auto number = ParseInteger(value, opt.Lo, opt.Hi);
            if (!number) {
                result.Error = std::string(opt.Name) + " needs a whole number from " +
                               std::to_string(opt.Lo) + " to " + std::to_string(opt.Hi) +
                               ", not \"" + value + "\"";
                return result;
            }
            options.*opt.Field = static_cast<int>(*number);
        }
    }
    const int64_t cells = int64_t{options.Decks} * int64_t{options.Columns} * int64_t{options.Rows};
    if (cells > kMaxCells) {
        result.Error = "decks x columns x rows is " + std::to_string(cells) + " cells; at most " +
                       std::to_string(kMaxCells) + " are supported";
        return result;
    }
    if (options.Runs > 1 && options.Model != TModel::Ca) {
        result.Error = "--runs above 1 needs --model ca: the classic model has no runs";
        return result;
    }
    if (options.Runs > 1 && !RunFileName(options.Output, 1)) {
        result.Error =
            "--runs above 1 needs -o FILE with a field for the run number, such as "
            "runs/ship-%02d.3dl";
        return result;
    }
    result.Ok = true;
    result.Options = options;
    return result;
}

std::optional<std::string> RunFileName(const std::string& pattern, int run) {
    std::string name;
    bool field = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            name += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            name += '%';
            ++i;
            continue;
        }
        // "%d", or "%Nd" / "%0Nd" with a width of one or two digits.
        std::size_t j = i + 1;
        const bool zeros = j < pattern.size() && pattern[j] == '0';
        if (zeros) ++j;
        int width = 0;
        const std::size_t digitsFrom = j;
        while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && j - digitsFrom < 2)
            width = width * 10 + (pattern[j++] - '0');
        if (field || j >= pattern.size() || pattern[j] != 'd' || (zeros && j == digitsFrom))
            return std::nullopt;
        field = true;
        std::string number = std::to_string(run);
        if (static_cast<int>(number.size()) < width)
            number.insert(0, static_cast<std::size_t>(width) - number.size(), zeros ? '0' : ' ');
        name += number;
        i = j;
    }
    if (!field) return std::nullopt;
    return name;
}

}  // namespace orlex::gen
