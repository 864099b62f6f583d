// One fuzz run of the trajectory import: read, then turn into cells, with modest
// limits. Shared by the libFuzzer targets and the test that replays their corpora.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cells.h"
#include "crowdit.h"
#include "gzipdata.h"
#include "jpsgeometry.h"
#include "jupedsim.h"
#include "logwriter.h"
#include "pathfinder.h"
#include "petrack.h"
#include "source.h"
#include "vadere.h"
#include "walls.h"
#include "wktarea.h"

namespace orlex::fuzz {

inline import::TCellOptions SmallLimits() {
    import::TCellOptions options;
    options.MaxCells = int64_t{1} << 18;
    options.MaxTotalSteps = int64_t{1} << 20;
    return options;
}

// Cells of a set read, with floors from z where asked; returns whether it came
// through without error.
inline bool ToCells(const import::TTrajectorySet& set, bool floorsFromZ = false) {
    const import::TCellOptions options = SmallLimits();
    try {
        import::TSetSource source(set);
        const import::TTrajectorySummary summary = import::Summarize(source, floorsFromZ);
        import::TCellPlan plan;
        if (set.WalkableWkt.empty()) {
            plan = import::PlanOfTrajectories(set.Source, summary, options);
        } else {
            const import::TWktArea area(set.WalkableWkt, set.Source);
            plan = import::PlanOfArea(set.Source, summary, area, options);
        }
        const import::TConversion c = import::Convert(source, summary, std::move(plan), options);
        std::string sink;
        for (const import::TConvertedPerson& p : c.Persons) sink += p.Track;
        return !sink.empty() || c.Persons.empty();
    } catch (const import::TImportError&) {
        return false;
    }
}

// PeTrack text, once as it is and once with a frame rate and unit given and the
// floors found from z.
inline int RunPeTrack(const char* data, std::size_t size) {
    int accepted = 0;
    for (int pass = 0; pass < 2; ++pass) {
        import::TTextOptions options;
        if (pass == 1) {
            options.Fps = 25;
            options.Unit = import::TLengthUnit::Centimetre;
        }
        try {
            const import::TTrajectorySet set =
                import::ParsePeTrackText(std::string_view(data, size), "fuzz.txt", options);
            accepted += ToCells(set, pass == 1) ? 1 : 0;
        } catch (const import::TImportError&) {
        }
    }
    return accepted;
}

// A Pathfinder occupant CSV, its floors from z.
inline int RunPathfinder(const char* data, std::size_t size) {
    try {
        return ToCells(import::ParsePathfinderText(std::string_view(data, size), "fuzz.csv"), true)
                   ? 1
                   : 0;
    } catch (const import::TImportError&) {
        return 0;
    }
}

// A JuPedSim database: the bytes are written to a file of their own first.
inline int RunJuPedSim(const char* data, std::size_t size) {
    char path[] = "/tmp/orlex-fuzz-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return 0;
    const bool written = write(fd, data, size) == static_cast<ssize_t>(size);
    close(fd);
    int accepted = 0;
    if (written) {
        try {
            accepted = ToCells(import::ReadJuPedSimFile(path)) ? 1 : 0;
        } catch (const import::TImportError&) {
        }
    }
    unlink(path);
    return accepted;
}

// Vadere footsteps (postvis.traj).
inline int RunVadere(const char* data, std::size_t size) {
    try {
        return ToCells(import::ParseVadereText(std::string_view(data, size), "fuzz.traj")) ? 1 : 0;
    } catch (const import::TImportError&) {
        return 0;
    }
}

// A geometry on the grid of one standing person, coloured.
inline void GeometryToCells(const import::TGeometry& geometry) {
    import::TTrajectorySet set;
    set.Source = "fuzz.scenario";
    set.Fps = 1;
    set.Persons.push_back({1, {{0, 0.5, 0.5, 0}}});
    import::TSetSource source(set);
    const import::TTrajectorySummary summary = import::Summarize(source, false);
    const import::TWktArea area(geometry.Walkable, set.Source, geometry.Obstacles);
    import::TCellPlan plan = import::PlanOfArea(set.Source, summary, area, SmallLimits());
    import::ColourCells(plan, geometry, set.Source);
}

// A Vadere scenario: its topography on the grid of one standing person.
inline int RunVadereScenario(const char* data, std::size_t size) {
    try {
        GeometryToCells(import::ParseVadereScenario(std::string_view(data, size), "fuzz.scenario"));
        return 1;
    } catch (const import::TImportError&) {
        return 0;
    }
}

// crowd:it rows, plain or gzip (unpacked to at most 16 MB).
inline int RunCrowdit(const char* data, std::size_t size) {
    try {
        const std::string_view bytes(data, size);
        const std::string text = import::IsGzip(bytes)
                                     ? import::Gunzip(bytes, "fuzz.csv.gz", 16 << 20)
                                     : std::string(bytes);
        return ToCells(import::ParseCrowditText(text, "fuzz.csv")) ? 1 : 0;
    } catch (const import::TImportError&) {
        return 0;
    }
}

// A crowd:it floor: its walls, the rooms they close, on a grid.
inline int RunCrowditFloor(const char* data, std::size_t size) {
    try {
        import::TGeometry geometry =
            import::ParseCrowditFloor(std::string_view(data, size), "fuzz.floor");
        geometry.Walkable = import::RoomsOfWalls(geometry.Walls, "fuzz.floor");
        GeometryToCells(geometry);
        return 1;
    } catch (const import::TImportError&) {
        return 0;
    }
}

// JuPedSim's geometry XML: its rooms, walls and exits on a grid.
inline int RunJuPedSimGeometry(const char* data, std::size_t size) {
    try {
        GeometryToCells(import::ParseJuPedSimGeometry(std::string_view(data, size), "fuzz.xml"));
        return 1;
    } catch (const import::TImportError&) {
        return 0;
    }
}

}  // namespace orlex::fuzz
