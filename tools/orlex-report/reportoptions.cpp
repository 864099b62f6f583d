#include "reportoptions.h"

namespace orlex::reporttool {

namespace {

constexpr TAnalysisSetting kSettings[] = {TAnalysisSetting::CellSize, TAnalysisSetting::Window,
                                          TAnalysisSetting::DensityLimit,
                                          TAnalysisSetting::CongestionShare};

}  // namespace

QString ReportUsage() {
    return QStringLiteral(
        "Usage: orlex-report FILE -o REPORT.pdf [options]\n"
        "Writes the PDF report of the evacuation analysis of a 3D log file, without a\n"
        "window or a display.\n\n"
        "  -o REPORT.pdf            the report to write\n"
        "  --cell-size S            the side of a cell in metres (0.05 to 5, default 0.4)\n"
        "  --window W               the side of the density window in cells (odd, 1 to 15,\n"
        "                           default 5)\n"
        "  --density-limit D        the density above which a window is crowded, in\n"
        "                           persons/m\u00b2 (above 0 up to 100, default 4)\n"
        "  --congestion-share F     the share of the duration above the limit that makes a\n"
        "                           cell congested (0 to 1, default 0.1)\n"
        "  -h, --help               this text\n"
        "Exit status: 0 written, 1 the file could not be read or the report not written,\n"
        "2 a usage error.\n");
}

bool ParseReportOptions(const QStringList& args, TReportOptions& o, QString& error, bool& help) {
    help = false;
    const auto bad = [&](const QString& option, const QString& why) {
        error = QStringLiteral("%1: %2").arg(option, why);
        return false;
    };
    QStringList inputs;
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
        // --name=value as well as --name value.
        QString name = a, value;
        const bool joined = a.startsWith("--") && a.contains('=');
        if (joined) {
            name = a.section('=', 0, 0);
            value = a.section('=', 1);
        }
        const TAnalysisSetting* setting = nullptr;
        for (const TAnalysisSetting& s : kSettings)
            if (name == QStringLiteral("--") + OptionName(s)) setting = &s;
        if (name != "-o" && !setting) return bad(name, QStringLiteral("unknown option"));
        if (!joined) {
            if (i + 1 >= args.size()) return bad(name, QStringLiteral("a value is missing"));
            value = args[++i];
        }
        if (!setting) {
            o.Output = value;
            continue;
        }
        if (const auto problem = ParseAnalysisSetting(*setting, value.toStdString(), o.Settings))
            return bad(name, QString::fromStdString(problem->Message));
    }
    if (inputs.size() != 1)
        return bad(QStringLiteral("FILE"), inputs.isEmpty()
                                               ? QStringLiteral("a 3D log file is missing")
                                               : QStringLiteral("exactly one file expected"));
    o.Input = inputs.front();
    if (o.Output.isEmpty())
        return bad(QStringLiteral("-o"), QStringLiteral("the report to write is missing"));
    if (!o.Output.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return bad(QStringLiteral("-o"), QStringLiteral("the report's name must end in .pdf"));
    return true;
}

}  // namespace orlex::reporttool
