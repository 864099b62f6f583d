#include "reportoptions.h"

#include "importargs.h"

namespace orlex::reporttool {

namespace {

constexpr TAnalysisSetting kSettings[] = {
    TAnalysisSetting::CellSize, TAnalysisSetting::Window, TAnalysisSetting::DensityLimit,
    TAnalysisSetting::CongestionShare, TAnalysisSetting::FlowWindow};

}  // namespace

QString ReportUsage() {
    return QStringLiteral(
               "Usage: orlex-report FILE -o REPORT.pdf [options]\n"
               "       orlex-report RUN... -o CASE.pdf [--runs] [options]\n"
               "Writes the PDF report of the evacuation analysis of a 3D log file, without a\n"
               "window or a display. With two or more files, or --runs, one report over the\n"
               "runs of one case: N, min, mean, median and max of the evacuation times, the p95\n"
               "by the ranking rule of MSC.1/Circ.1533 and its upper 95 % confidence bound, the\n"
               "running p95, their charts and the table of the runs. Runs are of one case when\n"
               "XMax, YMax, ZMax, VMax, PMax and the decks' cells agree; files of another case\n"
               "are named and left out.\n\n"
               "  -o REPORT.pdf            the report to write\n"
               "  --runs                   a report over runs, even of one file\n"
               "  --case FILE              the 3D log file of the case (default: the first\n"
               "                           usable file)\n"
               "  --any-case               take every usable file, whatever its case\n"
               "  --include-incomplete     count runs whose file ends inside the tracks, with\n"
               "                           their largest known exit time (marked incomplete)\n"
               "  --cell-size S            the side of a cell in metres (0.05 to 5, default: the\n"
               "                           file's own where it was imported, else 0.4)\n"
               "  --window W               the side of the density window in cells (odd, 1 to 15,\n"
               "                           default 5)\n"
               "  --density-limit D        the density above which a window is crowded, in\n"
               "                           persons/m\u00b2 (above 0 up to 100, default 4)\n"
               "  --congestion-share F     the share of the duration above the limit that makes a\n"
               "                           cell congested (0 to 1, default 0.1)\n"
               "  --flow-window T          the sliding window of the flows through exits and\n"
               "                           measurement lines, in seconds (1 to 600, default 10)\n"
               "  --measure FILE           the measurement lines and areas (JSON; default: the\n"
               "                           file's FILE.measure.json when it exists)\n"
               "  -h, --help               this text\n"
               "The analysis settings apply to every run. A FILE may also be the trajectories\n"
               "of another tool, imported as orlex-convert does:\n") +
           QString::fromStdString(import::ImportOptionsHelp(27, {"cell-size"})) +
           QStringLiteral(
               "Exit status: 0 written (over runs: with every run used), 1 the file could not be\n"
               "read or the report not written, or over runs any run left out (the report is\n"
               "written and names it) or none usable (no report), 2 a usage error or a --case\n"
               "file that cannot be used.\n");
}

stats::TRunSetRequest RunSetRequest(const TReportOptions& o) {
    stats::TRunSetRequest request;
    for (const QString& input : o.Inputs) request.Files.push_back(input.toStdString());
    request.Settings = o.Settings;
    request.Mode = o.AnyCase              ? stats::TCaseMode::Any
                   : o.CaseFile.isEmpty() ? stats::TCaseMode::First
                                          : stats::TCaseMode::File;
    request.CaseFile = o.CaseFile.toStdString();
    request.IncludeIncomplete = o.IncludeIncomplete;
    request.Opening = {import::TImportOpener{o.Import}, o.Import.CellSize.has_value()};
    return request;
}

bool ParseReportOptions(const QStringList& args, TReportOptions& o, QString& error, bool& help) {
    help = false;
    const auto bad = [&](const QString& option, const QString& why) {
        error = QStringLiteral("%1: %2").arg(option, why);
        return false;
    };
    QStringList inputs;
    QStringList runOptions;  // given options that only a report over runs takes
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "-h" || a == "--help") {
            help = true;
            return true;
        }
        if (!a.startsWith('-') || a == "-") {
            inputs << a;
            continue;
        }
        if (a == "--runs" || a == "--any-case" || a == "--include-incomplete") {
            (a == "--runs" ? o.Runs : a == "--any-case" ? o.AnyCase : o.IncludeIncomplete) = true;
            runOptions << a;
            continue;
        }
        // --name=value as well as --name value.
        QString name = a, value;
        const bool joined = a.startsWith("--") && a.contains('=');
        if (joined) {
            name = a.section('=', 0, 0);
            value = a.section('=', 1);
        }
        if (import::IsImportOption(name.toStdString()) && name != "--cell-size") {
            const std::string option = name.mid(2).toStdString();
            if (!joined && import::ImportOptionTakesValue(option)) {
                if (i + 1 >= args.size()) return bad(name, QStringLiteral("a value is missing"));
                value = args[++i];
            }
            const std::string problem =
                import::SetImportOption(option, value.toStdString(), o.Import);
            if (!problem.empty()) {
                error = QString::fromStdString(problem);
                return false;
            }
            continue;
        }
        const TAnalysisSetting* setting = nullptr;
        for (const TAnalysisSetting& s : kSettings)
            if (name == QStringLiteral("--") + OptionName(s)) setting = &s;
        if (name != "-o" && name != "--case" && name != "--measure" && !setting)
            return bad(name, QStringLiteral("unknown option"));
        if (!joined) {
            if (i + 1 >= args.size())
                return bad(name, name == "--case" || name == "--measure"
                                     ? QStringLiteral("a file name is missing")
                                     : QStringLiteral("a value is missing"));
            value = args[++i];
        }
        if (name == "--measure") {
            if (value.isEmpty()) return bad(name, QStringLiteral("a file name is missing"));
            o.MeasureFile = value;
            continue;
        }
        if (name == "--case") {
            if (value.isEmpty()) return bad(name, QStringLiteral("a file name is missing"));
            o.CaseFile = value;
            runOptions << name;
            continue;
        }
        if (!setting) {
            o.Output = value;
            continue;
        }
        if (const auto problem = ParseAnalysisSetting(*setting, value.toStdString(), o.Settings))
            return bad(name, QString::fromStdString(problem->Message));
        if (*setting == TAnalysisSetting::CellSize) o.Import.CellSize = o.Settings.CellSize;
    }
    if (inputs.isEmpty())
        return bad(QStringLiteral("FILE"), QStringLiteral("a 3D log file is missing"));
    o.Inputs = inputs;
    o.Runs = o.Runs || inputs.size() > 1;
    if (!o.Runs && !runOptions.isEmpty())
        return bad(
            runOptions.front(),
            QStringLiteral("only a report over runs takes it (two or more files, or --runs)"));
    if (o.AnyCase && !o.CaseFile.isEmpty()) {
        error = QStringLiteral("--case and --any-case cannot be given together");
        return false;
    }
    if (o.Output.isEmpty())
        return bad(QStringLiteral("-o"), QStringLiteral("the report to write is missing"));
    if (!o.Output.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return bad(QStringLiteral("-o"), QStringLiteral("the report's name must end in .pdf"));
    return true;
}

}  // namespace orlex::reporttool
