// Command-line options of orlex-gen.
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
    {"--toff", &TGenOptions::TOff, std::numeric_limits<int>::min(),
     std::numeric_limits<int>::max()},
};

}  // namespace

bool ApplyProfile(const std::string& name, TGenOptions& options) {
    if (name == "sample") {
        options.Decks = 3;
        options.Columns = 160;
        options.Rows = 48;
        options.Persons = 300;
        options.Steps = 2000;
        options.Seed = 1;
        options.VMax = 4;
        options.TOff = 0;
        return true;
    }
    if (name == "large") {
        // About 145 MB and 156 million steps: the benchmark file.
        options.Decks = 12;
        options.Columns = 1000;
        options.Rows = 200;
        options.Persons = 20000;
        options.Steps = 12000;
        options.Seed = 1;
        options.VMax = 4;
        options.TOff = 0;
        return true;
    }
    return false;
}

std::string UsageText() {
    return "Usage: orlex-gen [options]\n"
           "Writes a deterministic, plausible 3D log file (ship decks and persons).\n"
           "\n"
           "  --profile NAME  preset: sample (the bundled sample) or large (benchmarks)\n"
           "  --decks N       number of decks (1 to 1000)\n"
           "  --columns X     columns of every deck (16 to 100000)\n"
           "  --rows Y        rows of every deck (8 to 100000)\n"
           "  --persons P     number of persons (0 to 10000000)\n"
           "  --steps S       longest track in steps (0 to 100000000)\n"
           "  --seed N        seed of the generator (0 to 2^64-1)\n"
           "  --vmax V        steps per simulated second (1 to 1000, default 4)\n"
           "  --toff T        time offset in seconds (default 0)\n"
           "  -o FILE         output file (default: standard output)\n"
           "  -h, --help      this text\n"
           "\n"
           "Without --profile the values of the sample profile apply. Explicit options\n"
           "override the profile. The same arguments always give the same bytes.\n";
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
        bool known = name == "-o" || name == "--output" || name == "--profile" || name == "--seed";
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
    result.Ok = true;
    result.Options = options;
    return result;
}

}  // namespace orlex::gen
