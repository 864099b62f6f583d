// The command-line options of an import, shared by every tool that opens the
// trajectories of other tools: --format, --geometry, --cell-size, --step-rate, --fps,
// --unit and --floors-from-z.
#pragma once

#include <string>
#include <vector>

#include "convert.h"
#include "interfaces.h"
#include "logfile.h"

namespace orlex::import {

struct TImportOptionInfo {
    const char* Name;       // without the dashes: "cell-size"
    const char* ValueName;  // empty for a switch
    const char* Help;       // one line
};

// The options in the order a help text lists them.
const std::vector<TImportOptionInfo>& ImportOptionTable();

// Whether "--name" is one of them.
bool IsImportOption(const std::string& name);

// Whether the option name (without dashes) takes a value.
bool ImportOptionTakesValue(const std::string& name);

// Sets the option name (without dashes) from value (ignored for a switch). Returns an
// empty text, or why the value is wrong ("--unit takes m or cm, not \"km\"").
std::string SetImportOption(const std::string& name, const std::string& value,
                            TImportOptions& options);

// The help lines of the options, each "  --name VALUE  help" with the help from column
// width on; the options named in leaveOut (without dashes) are left out, for a tool
// that lists them itself.
std::string ImportOptionsHelp(int width, const std::vector<std::string>& leaveOut = {});

// An opener of any supported file, for the runs of orlex-stats and orlex-report.
struct TImportOpener {
    TImportOptions Options;
    bool operator()(const std::string& path, TLogFile1& project, IProgress& progress,
                    IMessages& messages) const;
};

}  // namespace orlex::import
