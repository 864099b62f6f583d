#include "positions.h"

#include <unordered_set>

#include "logfile.h"
#include "person.h"

namespace orlex::import {

TGridMetres GridMetresOf(const TLogFile1& project, double cellSize) {
    TGridMetres grid;
    grid.CellSize = project.Source.Known ? project.Source.CellSize : cellSize;
    grid.OriginX = project.Source.Known ? project.Source.OriginX : 0.0;
    grid.OriginY = project.Source.Known ? project.Source.OriginY : 0.0;
    return grid;
}

void ForEachPosition(const TLogFile1& project, const TGridMetres& grid,
                     const std::function<void(const TPosition&)>& visit) {
    std::unordered_set<int> tags;
    for (const TPersonData& p : project.Persons) tags.insert(p.Tag);
    const bool tagsAreIds = tags.size() == project.Persons.size();
    const int rows = project.YMax;
    static const int kColumn[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
    static const int kRow[9] = {0, -1, -1, 0, 1, 1, 1, 0, -1};
    for (std::size_t i = 0; i < project.Persons.size(); ++i) {
        const TPersonData& p = project.Persons[i];
        const int entry = i < project.EntrySteps.size() ? project.EntrySteps[i] : 0;
        int column = p.StartX, row = p.StartY;
        TPosition at;
        at.Id = tagsAreIds ? p.Tag : static_cast<long long>(i) + 1;
        at.Level = p.StartLevel;
        at.Heading = p.StartHeading >= 1 && p.StartHeading <= 8 ? p.StartHeading : 3;
        const auto put = [&] {
            if (at.Step < entry) return;
            at.X = grid.OriginX + (column + 0.5) * grid.CellSize;
            at.Y = grid.OriginY + (rows - row - 0.5) * grid.CellSize;
            visit(at);
        };
        put();
        TTrackCursor cursor(p);
        TStepRun run;
        while (cursor.Next(run)) {
            const int d =
                run.Step.Direction >= 0 && run.Step.Direction <= 8 ? run.Step.Direction : 0;
            for (int k = 0; k < run.Count; ++k) {
                column += kColumn[d];
                row += kRow[d];
                at.Level += run.Step.LevelChange;
                if (d != 0) at.Heading = d;
                ++at.Step;
                put();
            }
        }
    }
}

}  // namespace orlex::import
