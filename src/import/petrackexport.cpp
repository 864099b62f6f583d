#include "petrackexport.h"

#include <cstdio>
#include <unordered_set>

#include "logfile.h"
#include "person.h"

namespace orlex::import {

void WritePeTrack(const TLogFile1& project, std::ostream& out, const TExportOptions& options) {
    const double size = project.Source.Known ? project.Source.CellSize : options.CellSize;
    const double originX = project.Source.Known ? project.Source.OriginX : 0.0;
    const double originY = project.Source.Known ? project.Source.OriginY : 0.0;
    const int rows = project.YMax;

    std::unordered_set<int> tags;
    for (const TPersonData& p : project.Persons) tags.insert(p.Tag);
    const bool tagsAreIds = tags.size() == project.Persons.size();

    out << "# framerate: " << project.VMax << " fps\n";
    out << "# cell size " << size << " m, deck height " << options.DeckHeight << " m\n";
    out << "# id frame x/m y/m z/m\n";
    char line[128];
    for (std::size_t i = 0; i < project.Persons.size(); ++i) {
        const TPersonData& p = project.Persons[i];
        const long long id = tagsAreIds ? p.Tag : static_cast<long long>(i) + 1;
        const int entry = i < project.EntrySteps.size() ? project.EntrySteps[i] : 0;
        int column = p.StartX, row = p.StartY, level = p.StartLevel;
        int64_t step = 0;
        const auto put = [&] {
            if (step < entry) return;
            const int n =
                std::snprintf(line, sizeof line, "%lld %lld %.4f %.4f %.4f\n", id,
                              static_cast<long long>(step), originX + (column + 0.5) * size,
                              originY + (rows - row - 0.5) * size, level * options.DeckHeight);
            out.write(line, n);
        };
        static const int kColumn[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
        static const int kRow[9] = {0, -1, -1, 0, 1, 1, 1, 0, -1};
        put();
        TTrackCursor cursor(p);
        TStepRun run;
        while (cursor.Next(run)) {
            const int d =
                run.Step.Direction >= 0 && run.Step.Direction <= 8 ? run.Step.Direction : 0;
            for (int k = 0; k < run.Count; ++k) {
                column += kColumn[d];
                row += kRow[d];
                level += run.Step.LevelChange;
                ++step;
                put();
            }
        }
    }
}

}  // namespace orlex::import
