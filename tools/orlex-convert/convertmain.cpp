#include "convertmain.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "convert.h"
#include "importargs.h"
#include "interfaces.h"
#include "jupedsimexport.h"
#include "logfile.h"
#include "logwriter.h"
#include "osfile.h"
#include "petrackexport.h"

namespace orlex::convert {

namespace {

namespace fs = std::filesystem;
using import::TImportError;

constexpr const char* kUsage =
    "usage: orlex-convert IN [--format auto|petrack|jupedsim|pathfinder|vadere|crowdit]\n"
    "                        [--geometry FILE]\n"
    "                        [--cell-size S] [--step-rate V] [--fps F] [--unit m|cm]\n"
    "                        [--floors-from-z] -o OUT.3dl\n"
    "       orlex-convert IN.3dl --to petrack [--deck-height H] [--cell-size S] -o OUT.txt\n"
    "       orlex-convert IN.3dl --to jupedsim [--deck N] [--cell-size S] -o OUT.sqlite\n";

constexpr const char* kHelp =
    "Converts the trajectories of other tools into a 3D log file, and writes 3D log files\n"
    "as PeTrack text for PedPy or as JuPedSim SQLite files.\n"
    "\n"
    "  IN                 PeTrack or PedPy text (id frame x y [z ...]), a JuPedSim\n"
    "                     SQLite file (versions 1 to 3), a Pathfinder occupant CSV\n"
    "                     (decks from its z values), Vadere footsteps (postvis.traj) or\n"
    "                     a crowd:it CSV (time,pedID,posX,posY; plain or gzip); the\n"
    "                     format is found from the file\n"
    "  --format F         auto (default), petrack, jupedsim, pathfinder, vadere, crowdit\n"
    "  --geometry FILE    the walkable area: WKT polygons (holes are obstacles), a Vadere\n"
    "                     .scenario (obstacles; targets light green, sources light blue),\n"
    "                     a crowd:it .floor (walls as point lists; the rooms they close\n"
    "                     are walkable) or a 3D log file whose cells are used as they are\n"
    "  --cell-size S      cell size in metres (default 0.4, or the geometry file's own)\n"
    "  --step-rate V      steps a second, 1 to 100 (default: the lowest at which nobody\n"
    "                     moves more than one cell a step)\n"
    "  --fps F            frame rate, where the text file gives none\n"
    "  --unit m|cm        length unit, where the text file names none\n"
    "  --floors-from-z    decks from the persons' z values: they cluster at floor\n"
    "                     heights, z between two floors means the stairs (a person on\n"
    "                     the stairs belongs to the floor below until half-way)\n"
    "  --to petrack       write IN.3dl as PeTrack text (# id frame x/m y/m z/m)\n"
    "  --deck-height H    with --to petrack: z of a person is its deck times H (default 3 m)\n"
    "  --to jupedsim      write one deck of IN.3dl as a JuPedSim SQLite file (version 2):\n"
    "                     its floor cells merged into the walkable area, the persons while\n"
    "                     they are on it\n"
    "  --deck N           with --to jupedsim: the deck, from 0 (default 0)\n"
    "  -o OUT             the file to write; nothing is left behind on an error\n"
    "\n"
    "Exit status: 0 written, 1 bad input, 2 usage error.\n";

struct TUsageError {
    std::string Text;
};

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double PositiveNumber(const std::string& option, const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value) || value <= 0)
        throw TUsageError{option + " needs a number above 0, not \"" + text + "\""};
    return value;
}

struct TArgs {
    std::string In;
    std::string Out;
    std::string To;
    double DeckHeight = 3.0;
    int Deck = 0;
    import::TImportOptions Import;
};

TArgs Parse(const std::vector<std::string>& args) {
    TArgs a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw TUsageError{arg + " needs a value"};
            return args[++i];
        };
        if (arg == "-o") {
            a.Out = value();
        } else if (import::IsImportOption(arg)) {
            const std::string name = arg.substr(2);
            const std::string error = import::SetImportOption(
                name, import::ImportOptionTakesValue(name) ? value() : std::string(), a.Import);
            if (!error.empty()) throw TUsageError{error};
        } else if (arg == "--to") {
            a.To = value();
            if (a.To != "petrack" && a.To != "jupedsim")
                throw TUsageError{"--to takes petrack or jupedsim, not \"" + a.To + "\""};
        } else if (arg == "--deck") {
            const std::string& v = value();
            const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), a.Deck);
            if (ec != std::errc() || ptr != v.data() + v.size() || a.Deck < 0)
                throw TUsageError{"--deck takes a deck number from 0, not \"" + v + "\""};
        } else if (arg == "--deck-height") {
            a.DeckHeight = PositiveNumber(arg, value());
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            throw TUsageError{"unknown option " + arg};
        } else if (a.In.empty()) {
            a.In = arg;
        } else {
            throw TUsageError{"one input file only (" + a.In + ", then " + arg + ")"};
        }
    }
    if (a.In.empty()) throw TUsageError{"no input file given"};
    if (a.Out.empty()) throw TUsageError{"no output file given (-o OUT)"};
    return a;
}

// Writes through OUT.part (by write, given its path), renamed to OUT once complete;
// nothing is left behind on an error.
void WriteAtomically(const std::string& path,
                     const std::function<void(const std::string& part)>& write) {
    const std::string part = path + ".part";
    std::error_code error;
    fs::remove(PathOf(part), error);
    try {
        write(part);
    } catch (...) {
        fs::remove(PathOf(part), error);
        throw;
    }
    fs::rename(PathOf(part), PathOf(path), error);
    if (error) {
        fs::remove(PathOf(part), error);
        throw TImportError(path + ": cannot be written");
    }
}

// The same for a text written to a stream.
void WriteStreamAtomically(const std::string& path,
                           const std::function<void(std::ostream& out)>& write) {
    WriteAtomically(path, [&](const std::string& part) {
        std::ofstream out(PathOf(part), std::ios::binary | std::ios::trunc);
        if (!out) throw TImportError(path + ": cannot be written");
        write(out);
        out.flush();
        if (!out) throw TImportError(path + ": cannot be written (disk full?)");
    });
}

class TLoadMessages final : public IMessages {
public:
    explicit TLoadMessages(std::string& err) : Err_(err) {}
    TMsgResult ShowMessage(const std::string& text, const std::string& caption, TMsgIcon,
                           TMsgButtons buttons) override {
        if (caption == "Error") {
            if (First.empty()) First = text;
        } else {
            Err_ += "warning: " + text + "\n";
        }
        return DefaultAnswer(buttons);
    }
    std::string First;

private:
    std::string& Err_;
};

int Export(const TArgs& a, std::string& out, std::string& err) {
    TLogFile1 project("Deck");
    TNullProgress progress;
    TLoadMessages messages(err);
    if (!project.LoadFromFile(a.In, progress, messages) || !messages.First.empty())
        throw TImportError(messages.First.empty() ? a.In + ": cannot be read" : messages.First);
    if (project.PersonCount() == 0) throw TImportError(a.In + ": the project has no persons");
    if (project.Source.Known && a.Import.CellSize)
        err += "warning: " + a.In + " gives its own cell size, " +
               Fixed(project.Source.CellSize, 3) + " m; --cell-size is not used\n";
    const double cellSize = a.Import.CellSize.value_or(0.4);
    if (a.To == "jupedsim") {
        if (a.Deck >= project.DeckCount())
            throw TImportError(a.In + " has " + std::to_string(project.DeckCount()) +
                               " decks; there is no deck " + std::to_string(a.Deck) +
                               " (--deck counts from 0)");
        import::TJuPedSimExportOptions options;
        options.CellSize = cellSize;
        options.Deck = a.Deck;
        WriteAtomically(
            a.Out, [&](const std::string& part) { import::WriteJuPedSim(project, part, options); });
        out += "wrote " + a.Out + ": deck " + std::to_string(a.Deck) + " (" +
               project.GetDeckCaption(a.Deck) + "), " + std::to_string(project.VMax) +
               " frames a second, JuPedSim version 2\n";
        return 0;
    }
    import::TExportOptions options;
    options.DeckHeight = a.DeckHeight;
    options.CellSize = cellSize;
    WriteStreamAtomically(a.Out,
                          [&](std::ostream& o) { import::WritePeTrack(project, o, options); });
    out += "wrote " + a.Out + ": " + std::to_string(project.PersonCount()) + " persons, " +
           std::to_string(project.VMax) + " frames a second\n";
    return 0;
}

int Import(const TArgs& a, std::string& out, std::string& err) {
    const import::TConversion c = import::ImportFile(a.In, a.Import);
    for (const std::string& w : c.Warnings) err += "warning: " + w + "\n";
    int late = 0;
    for (const import::TConvertedPerson& p : c.Persons) late += p.EntryStep > 0 ? 1 : 0;
    WriteStreamAtomically(a.Out, [&](std::ostream& o) { import::WriteLogFile(c, o); });
    const import::TCellPlan& plan = c.Plan;
    out += a.In + ": " + std::to_string(c.Persons.size()) + " persons\n";
    if (late > 0)
        out += std::to_string(late) + " persons enter after the start (entry steps written)\n";
    out += "grid: " + std::to_string(plan.Columns) + " x " + std::to_string(plan.Rows) +
           " cells of " + Fixed(plan.CellSize, 3) + " m, lower-left corner at (" +
           Fixed(plan.OriginX, 3) + ", " + Fixed(plan.OriginY, 3) + ") m\n";
    if (!c.Floors.Empty()) {
        out += "floors found from z:";
        for (std::size_t i = 0; i < c.Floors.Heights.size(); ++i)
            out += std::string(i ? "," : "") + " deck " + std::to_string(c.Floors.Levels[i]) +
                   " at " + Fixed(c.Floors.Heights[i], 2) + " m";
        out += "\n";
    }
    out +=
        "step rate: " + std::to_string(c.StepRate) + " steps a second" +
        (c.StepRateChosen ? " (chosen: nobody moves more than one cell a step)" : " (as given)") +
        "\n";
    out += "largest position error: " + Fixed(c.MaxError, 3) + " m (bound " +
           Fixed(c.ErrorBound, 3) + " m, half a cell's diagonal; warned jumps apart)\n";
    out += "wrote " + a.Out + "\n";
    return 0;
}

}  // namespace

int Main(const std::vector<std::string>& args, std::string& out, std::string& err) {
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h") {
            out += kUsage;
            out += "\n";
            out += kHelp;
            return 0;
        }
    TArgs a;
    try {
        a = Parse(args);
    } catch (const TUsageError& e) {
        err += "orlex-convert: " + e.Text + "\n" + kUsage;
        return 2;
    }
    try {
        return a.To.empty() ? Import(a, out, err) : Export(a, out, err);
    } catch (const TImportError& e) {
        err += "orlex-convert: " + std::string(e.what()) + "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        err += "orlex-convert: " + a.In + ": not enough memory\n";
        return 1;
    }
}

}  // namespace orlex::convert
