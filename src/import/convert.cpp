#include "convert.h"

#include <cctype>
#include <charconv>
#include <fstream>
#include <memory>

#include "crowdit.h"
#include "geometry.h"
#include "gzipdata.h"
#include "interfaces.h"
#include "jupedsim.h"
#include "logfile.h"
#include "osfile.h"
#include "pathfinder.h"
#include "source.h"
#include "vadere.h"
#include "wktarea.h"

namespace orlex::import {

namespace {

std::string Head(const std::string& path, std::size_t size) {
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) throw TImportError(path + ": cannot open the file");
    std::string head(size, '\0');
    in.read(head.data(), static_cast<std::streamsize>(size));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (head.starts_with("\xEF\xBB\xBF")) head.erase(0, 3);  // a byte-order mark
    return head;
}

bool IsLogFileText(const std::string& head) {
    std::size_t at = head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < head.size() && std::isspace(static_cast<unsigned char>(head[at]))) ++at;
    return head.compare(at, 8, "<header>") == 0;
}

// Whether the first row of text (after comments) starts with four numbers.
bool LooksLikeRows(const std::string& head) {
    std::size_t at = 0;
    while (at < head.size()) {
        std::size_t eol = head.find('\n', at);
        if (eol == std::string::npos) eol = head.size();
        std::size_t p = head.find_first_not_of(" \t\r", at);
        if (p == std::string::npos || p >= eol || head[p] == '#') {
            at = eol + 1;
            continue;
        }
        for (int field = 0; field < 4; ++field) {
            p = head.find_first_not_of(" \t\r", p);
            if (p == std::string::npos || p >= eol) return false;
            double value;
            const auto [ptr, ec] = std::from_chars(head.data() + p, head.data() + eol, value);
            if (ec != std::errc()) return false;
            p = static_cast<std::size_t>(ptr - head.data());
        }
        return true;
    }
    return false;
}

// Collects the messages of a load: errors end the import.
class TLoadMessages final : public IMessages {
public:
    TMsgResult ShowMessage(const std::string& text, const std::string& caption, TMsgIcon,
                           TMsgButtons buttons) override {
        if (caption == "Error" && First.empty()) First = text;
        return DefaultAnswer(buttons);
    }
    std::string First;
};

}  // namespace

const char* FormatName(TFormat format) {
    switch (format) {
        case TFormat::PeTrack:
            return "petrack";
        case TFormat::JuPedSim:
            return "jupedsim";
        case TFormat::Pathfinder:
            return "pathfinder";
        case TFormat::Vadere:
            return "vadere";
        case TFormat::Crowdit:
            return "crowdit";
        case TFormat::Auto:
            break;
    }
    return "auto";
}

std::optional<TFormat> FormatOfName(const std::string& name) {
    for (const TFormat f : {TFormat::Auto, TFormat::PeTrack, TFormat::JuPedSim, TFormat::Pathfinder,
                            TFormat::Vadere, TFormat::Crowdit})
        if (name == FormatName(f)) return f;
    return std::nullopt;
}

TFormat SniffFormat(const std::string& path) {
    std::string head = Head(path, 4096);
    if (LooksLikeSqlite(head.data(), head.size())) return TFormat::JuPedSim;
    if (IsGzip(head))
        return LooksLikeCrowdit(GunzipHead(head, 4096)) ? TFormat::Crowdit : TFormat::Auto;
    if (LooksLikeCrowdit(head)) return TFormat::Crowdit;
    if (LooksLikePathfinder(head)) return TFormat::Pathfinder;
    if (LooksLikeVadere(head)) return TFormat::Vadere;
    if (LooksLikeRows(head)) return TFormat::PeTrack;
    return TFormat::Auto;
}

TConversion ImportFile(const std::string& path, const TImportOptions& options) {
    TFormat format = options.Format;
    if (format == TFormat::Auto) {
        format = SniffFormat(path);
        if (format == TFormat::Auto) {
            if (IsLogFileText(Head(path, 64)))
                throw TImportError(path + ": this is a 3D log file already");
            throw TImportError(path +
                               ": unknown format (none of PeTrack or PedPy text rows "
                               "\"id frame x y\", a JuPedSim SQLite file, a Pathfinder "
                               "occupant CSV, a Vadere postvis.traj, a crowd:it CSV); name it "
                               "with --format");
        }
    }
    std::unique_ptr<TTrajectorySet> whole;
    std::unique_ptr<IPersonSource> source;
    // Formats whose z is the floor's height always give their floors.
    bool floorsFromZ = options.FloorsFromZ;
    if (format == TFormat::PeTrack) {
        source = std::make_unique<TPeTrackFile>(path, options.Text, floorsFromZ);
    } else {
        if (format == TFormat::JuPedSim) {
            whole = std::make_unique<TTrajectorySet>(ReadJuPedSimFile(path));
        } else if (format == TFormat::Crowdit) {
            whole = std::make_unique<TTrajectorySet>(ReadCrowditFile(path));
        } else if (format == TFormat::Vadere) {
            whole = std::make_unique<TTrajectorySet>(ReadVadereFile(path));
        } else {
            whole = std::make_unique<TTrajectorySet>(ReadPathfinderFile(path));
            floorsFromZ = true;
        }
        source = std::make_unique<TSetSource>(*whole);
    }
    TTrajectorySummary summary = Summarize(*source, floorsFromZ);

    TCellOptions cells = options.Cells;
    cells.CellSize = options.CellSize.value_or(0.4);
    cells.StepRate = options.StepRate;
    TCellPlan plan;
    std::vector<std::string> warnings;
    const std::string& geometry = options.GeometryPath;
    const bool geometry3dl = !geometry.empty() && IsLogFileText(Head(geometry, 64));
    if (geometry3dl) {
        TLogFile1 project("Deck");
        TNullProgress progress;
        TLoadMessages messages;
        if (!project.LoadFromFile(geometry, progress, messages) || !messages.First.empty())
            throw TImportError(geometry + ": " +
                               (messages.First.empty() ? "cannot be read" : messages.First));
        if (project.DeckCount() == 0 || project.XMax <= 0 || project.YMax <= 0)
            throw TImportError(geometry + ": the 3D log file has no decks");
        plan = PlanOfProject(project, cells.CellSize, options.CellSize.has_value());
        cells.CellSize = plan.CellSize;
        FitFloorsToDecks(summary.Floors, static_cast<int>(plan.Decks.size()), path);
    } else if (!geometry.empty() || !source->WalkableWkt().empty()) {
        if (!geometry.empty() && !source->WalkableWkt().empty())
            warnings.push_back(path + ": its own geometry is replaced by " + geometry);
        TGeometry shapes;
        if (geometry.empty())
            shapes.Walkable = source->WalkableWkt();
        else
            shapes = ReadGeometryFile(geometry);
        const std::string& from = geometry.empty() ? path : geometry;
        const TWktArea area(shapes.Walkable, from, shapes.Obstacles);
        plan = PlanOfArea(path, summary, area, cells);
        ColourCells(plan, shapes, from);
        warnings.insert(warnings.end(), shapes.Warnings.begin(), shapes.Warnings.end());
    } else {
        plan = PlanOfTrajectories(path, summary, cells);
    }
    if (!geometry3dl)
        for (std::size_t i = 0; i < summary.Floors.Heights.size(); ++i)
            plan.Decks[static_cast<std::size_t>(summary.Floors.Levels[i])].Caption =
                "Level " + std::to_string(summary.Floors.Levels[i]) + ", z " +
                Decimal(summary.Floors.Heights[i]) + " m";
    TConversion conversion = Convert(*source, summary, std::move(plan), cells);
    conversion.Warnings.insert(conversion.Warnings.end(), warnings.begin(), warnings.end());
    return conversion;
}

}  // namespace orlex::import
