// Helpers of the import tests: files written by the tests, projects read back.
#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cells.h"
#include "logfile.h"
#include "logwriter.h"
#include "projects.h"

namespace orlex::test {

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string LogText(const import::TConversion& conversion) {
    std::ostringstream out;
    import::WriteLogFile(conversion, out);
    return out.str();
}

// Every track entry of person i, expanded.
inline std::vector<TStep> Entries(const TLogFile1& project, int i) {
    std::vector<TStep> steps;
    TTrackCursor cursor(project.Persons[static_cast<std::size_t>(i)]);
    TStepRun run;
    while (cursor.Next(run))
        for (int k = 0; k < run.Count; ++k) steps.push_back(run.Step);
    return steps;
}

}  // namespace orlex::test
