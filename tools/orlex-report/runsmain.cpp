// orlex-report RUN... -o CASE.pdf: the report over the runs of one case.
#include <cstdio>

#include "pdfreport.h"
#include "reportoptions.h"
#include "runsreport.h"

namespace orlex::reporttool {

namespace {

void Say(const std::string& file, const std::string& text) {
    std::fprintf(stderr, "orlex-report: %s: %s\n", file.c_str(), text.c_str());
}

}  // namespace

int RunsReport(const TReportOptions& options) {
    const stats::TRunSet set = stats::AnalyseRunSet(RunSetRequest(options));
    if (!set.CaseError.empty()) {
        Say("--case " + options.CaseFile.toStdString(), set.CaseError);
        return 2;
    }
    int status = 0;
    for (const stats::TRunSummary& run : set.Runs) {
        for (const std::string& warning : run.Warnings) Say(run.File, warning);
        if (const std::string note = stats::RunNote(run); !note.empty()) Say(run.File, note);
        if (run.Status != stats::TRunStatus::Used) status = 1;
    }
    if (!set.Statistics) {
        Say(options.Output.toStdString(), "not written: no run can be used");
        return 1;
    }
    QString why;
    if (!SaveAtomically(
            options.Output,
            [&](QIODevice& device) { return WriteRunsPdf(device, set, options.Settings); }, why)) {
        Say(options.Output.toStdString(), "cannot be written: " + why.toStdString());
        return 1;
    }
    return status;
}

}  // namespace orlex::reporttool
