// Runs of small hand-made cases for the orlex-stats tests, each in a folder of its own.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "rooms.h"
#include "stats.h"
#include "tempfolder.h"

namespace orlex::test {

class TStatsFiles : public TTempFolderTest {
protected:
    // A run of the case: one person on a 6 x 4 deck, 1 step a second, evacuated after
    // the track's steps + 1 seconds.
    static std::string CaseRun(const std::string& track) {
        return RoomText(6, 4, 1, 1, {{1, 1, 0, track}});
    }

    void SetUp() override {
        TTempFolderTest::SetUp();
        // Evacuation times 3, 5 and 4 s.
        const char* tracks[] = {"33", "3333", "333"};
        for (int i = 0; i < 3; ++i) {
            Good.push_back(Write("run" + std::to_string(i + 1) + ".3dl", CaseRun(tracks[i])));
        }
        Bad = Write("broken.3dl", "this is no project\n");
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    int Run(std::vector<std::string> args) {
        Out.clear();
        Err.clear();
        return orlex::stats::Main(args, Out, Err);
    }

    bool OutHas(const std::string& text) const { return Out.find(text) != std::string::npos; }
    bool ErrHas(const std::string& text) const { return Err.find(text) != std::string::npos; }

    std::vector<std::string> Good;
    std::string Bad;
    std::string Out, Err;
};

}  // namespace orlex::test
