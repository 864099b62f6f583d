#include "runsreport.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <set>

#include "reportflow.h"
#include "runscharts.h"
#include "runstats.h"
#include "summary.h"

#ifndef ORLEX_VERSION_STRING
#define ORLEX_VERSION_STRING ""
#endif

namespace orlex {

namespace {

using report::TCanvas;
using report::TFlow;
using stats::TRunStatus;
using stats::TRunSummary;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString FileName(const std::string& path) {
    return QFileInfo(Q(path)).fileName();
}

QString Plural(std::size_t n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QString CaseRow(const stats::TRunSet& set) {
    const stats::TCaseChoice& c = set.Choice;
    if (c.Mode == stats::TCaseMode::Any)
        return QStringLiteral("any case (--any-case): every usable run counts; described by %1")
            .arg(set.CaseRun.Ok ? Q(set.CaseRun.File) : QStringLiteral("-"));
    return QStringLiteral("%1 (%2)").arg(Q(c.From), c.Mode == stats::TCaseMode::File
                                                        ? QStringLiteral("--case")
                                                        : QStringLiteral("the first usable file"));
}

QString DecksRow(const TRunSummary& run) {
    QStringList decks;
    std::vector<std::string> captions;
    for (const stats::TRunDeck& deck : run.Decks) captions.push_back(deck.Caption);
    for (std::size_t z = 0; z < run.Decks.size(); ++z)
        decks << QStringLiteral("%1 (%2 cells)")
                     .arg(Q(DeckLabel(captions, static_cast<int>(z))))
                     .arg(run.Decks[z].Cells);
    return QStringLiteral("%1 of %2 \u00d7 %3 cells: %4")
        .arg(Plural(run.Decks.size(), "deck", "decks"))
        .arg(run.Columns)
        .arg(run.Rows)
        .arg(decks.join(QStringLiteral(", ")));
}

// "48 used of 50 given (1 could not be used, 1 incomplete left out)".
QString RunsRow(const std::vector<TRunSummary>& runs, std::size_t used) {
    std::size_t failed = 0, other = 0, incomplete = 0, counted = 0;
    for (const TRunSummary& run : runs) {
        failed += run.Status == TRunStatus::Failed;
        other += run.Status == TRunStatus::OtherCase;
        incomplete += run.Status == TRunStatus::Incomplete;
        counted += run.Status == TRunStatus::Used && run.CutTracks > 0;
    }
    QStringList why;
    if (failed > 0) why << QStringLiteral("%1 could not be used").arg(failed);
    if (other > 0) why << QStringLiteral("%1 of another case left out").arg(other);
    if (incomplete > 0) why << QStringLiteral("%1 incomplete left out").arg(incomplete);
    if (counted > 0)
        why << QStringLiteral("%1 incomplete counted with their largest known exit times")
                   .arg(counted);
    QString text = QStringLiteral("%1 used of %2 given").arg(used).arg(runs.size());
    return why.isEmpty() ? text : text + QStringLiteral(" (") + why.join(", ") + ")";
}

// Seconds with two decimals, or three where the median of two times needs them
// ("368.125 s").
QString Seconds(double value) {
    const double hundredths = value * 100;
    if (std::abs(hundredths - std::round(hundredths)) < 1e-6) return Q(SecondsText(value));
    return QString::number(value, 'f', 3) + QStringLiteral(" s");
}

QString BoundRow(const stats::TRunStatistics& s) {
    const QString seconds = Q(SecondsText(s.Bound));
    if (s.BoundReached)
        return QStringLiteral("upper 95 % confidence bound of the 95th percentile: %1 (rank %2)")
            .arg(seconds)
            .arg(s.BoundRank);
    return QStringLiteral(
               "the largest run, %1, bounds the 95th percentile with %2 confidence (1 - "
               "0.95^%3); a bound of 95 % confidence needs at least 59 runs")
        .arg(seconds, Q(stats::PercentCut(s.BoundConfidence)))
        .arg(s.N);
}

QString RunningRow(const stats::TRunStatistics& s) {
    const std::size_t last = s.N - 1;
    const auto change = RelativeChange(s.Running, last);
    if (!change) return QStringLiteral("none: it needs more than 10 runs");
    return QStringLiteral("%1 over the last 10 runs (from %2 after run %3 to %4 after run %5)")
        .arg(Q(stats::ChangeText(change)), Q(SecondsText(s.Running[last - 10])))
        .arg(last - 9)
        .arg(Q(SecondsText(s.Running[last])))
        .arg(s.N);
}

QString StatusText(const TRunSummary& run) {
    const std::string note = stats::RunNote(run);
    if (run.Status != TRunStatus::Used) return Q(note);
    return note.empty() ? QStringLiteral("used") : QStringLiteral("used; ") + Q(note);
}

// The table of the runs: a column's title and its share of the width.
struct TColumn {
    const char* Title;
    double Share;
    int Align;
};
constexpr TColumn kColumns[] = {{"#", 0.05, Qt::AlignRight},
                                {"File", 0.27, Qt::AlignLeft},
                                {"Persons saved", 0.14, Qt::AlignRight},
                                {"Evacuation time", 0.14, Qt::AlignRight},
                                {"Status", 0.40, Qt::AlignLeft}};

// A row of the table.
report::TBlock TableRow(TCanvas& c, double width, const QStringList& cells, bool header) {
    const QFont font = c.Font(8.5, header);
    const double pad = c.Mm(1), gap = c.Mm(3);
    double height = 0;
    // Titles and the status wrap; the other cells are shortened to fit.
    const auto wraps = [&](int i) { return header || i + 1 == cells.size(); };
    for (int i = 0; i < cells.size(); ++i) {
        const QString& measured = wraps(i) ? cells[i] : QStringLiteral("X");
        height = std::max(height, c.TextHeight(measured, font, kColumns[i].Share * width - gap));
    }
    height += 2 * pad;
    report::TBlock block;
    block.Height = height;
    block.Draw = [=](TCanvas& canvas, double y) {
        const auto wraps = [&](int i) { return header || i + 1 == cells.size(); };
        if (header) canvas.Painter().fillRect(QRectF(0, y, width, height), QColor(235, 235, 235));
        double x = 0;
        for (int i = 0; i < cells.size(); ++i) {
            const double w = kColumns[i].Share * width - gap;
            const QString text = wraps(i) ? cells[i] : canvas.Elided(cells[i], font, w);
            canvas.Text(text, font, x + gap / 2, y + pad, w, kColumns[i].Align);
            x += kColumns[i].Share * width;
        }
        canvas.Painter().setPen(QPen(QColor(200, 200, 200), canvas.Mm(0.15)));
        canvas.Painter().drawLine(QPointF(0, y + height), QPointF(width, y + height));
    };
    return block;
}

// The table of the runs; its header opens every page it runs onto.
void RunTable(TFlow& flow, const std::vector<TRunSummary>& runs) {
    QStringList titles;
    for (const TColumn& column : kColumns) titles << QLatin1String(column.Title);
    const auto header =
        std::make_shared<const report::TBlock>(TableRow(flow.Canvas(), flow.Width(), titles, true));
    flow.Add(header->Height, header->Draw);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const TRunSummary& run = runs[i];
        const QString saved =
            run.Ok ? QStringLiteral("%1 of %2").arg(run.Saved).arg(run.Persons) : "-";
        const QString time = run.Ok ? Q(SecondsText(run.EvacuationTime)) : "-";
        const report::TBlock row = TableRow(
            flow.Canvas(), flow.Width(),
            {QString::number(i + 1), FileName(run.File), saved, time, StatusText(run)}, false);
        flow.Add(row.Height, row.Draw, header);
    }
}

}  // namespace

QString RunsCaseName(const stats::TRunSet& set) {
    if (set.Choice.Mode == stats::TCaseMode::Any) return QStringLiteral("any case");
    return QStringLiteral("case of %1").arg(FileName(set.Choice.From));
}

bool WriteRunsPdf(QIODevice& device, const stats::TRunSet& set, const TAnalysisSettings& settings,
                  const TRunsReportInfo& info) {
    if (!set.Statistics || !set.CaseRun.Ok) return false;
    const stats::TRunStatistics& s = *set.Statistics;
    const TRunSummary& caseRun = set.CaseRun;
    const QString caseName = RunsCaseName(set);
    QPdfWriter writer(&device);
    report::SetUpWriter(writer, QStringLiteral("Evacuation analysis over runs: %1").arg(caseName));
    QPainter painter;
    TCanvas canvas(writer, painter);

    const QString version =
        info.Version.isEmpty() ? QStringLiteral(ORLEX_VERSION_STRING) : info.Version;
    const QDateTime analysed =
        info.AnalysisDate.isValid() ? info.AnalysisDate : QDateTime::currentDateTime();
    std::set<QString> folders;
    for (const TRunSummary& run : set.Runs) folders.insert(QFileInfo(Q(run.File)).absolutePath());

    TFlow flow(canvas);
    flow.SetNameWidth(64);
    flow.Title(QStringLiteral("Evacuation analysis over runs"),
               QStringLiteral("%1, %2").arg(caseName, Plural(set.Runs.size(), "run", "runs")));
    flow.Heading(QStringLiteral("Case"));
    flow.Row(QStringLiteral("Case decided by"), CaseRow(set));
    flow.Row(QStringLiteral("Decks"), DecksRow(caseRun));
    flow.Row(QStringLiteral("Persons"), QString::number(caseRun.Persons));
    flow.Row(QStringLiteral("Steps per second"), QString::number(caseRun.StepsPerSecond));
    if (set.Choice.Key)
        flow.Row(QStringLiteral("Runs of the case agree in"), Q(stats::CaseText(*set.Choice.Key)));
    flow.Row(
        QStringLiteral("Runs read from"),
        folders.size() == 1 ? *folders.begin() : QStringLiteral("%1 folders").arg(folders.size()));
    flow.Row(QStringLiteral("Date of the analysis"), report::DateText(analysed));
    flow.Row(QStringLiteral("Program"), QStringLiteral("ORLEX Viewer %1").arg(version).trimmed());
    // Runs converted from trajectories bring their own cell size, which their
    // analysis used.
    TAnalysisSettings used = settings;
    if (caseRun.CellSize > 0) used.CellSize = caseRun.CellSize;
    flow.Heading(QStringLiteral("Analysis settings (every run)"));
    flow.Rows(SettingsRows(used));

    flow.Heading(QStringLiteral("Evacuation time over the runs (MSC.1/Circ.1533)"));
    flow.Row(QStringLiteral("Runs"), RunsRow(set.Runs, s.N));
    flow.Row(QStringLiteral("Min"), Seconds(s.Min));
    flow.Row(QStringLiteral("Mean"), Q(SecondsText(s.Mean)));
    flow.Row(QStringLiteral("Median"), Seconds(s.Median));
    flow.Row(
        QStringLiteral("p95 (ranking rule, %1 of %2)").arg(Q(stats::Ordinal(s.P95Rank))).arg(s.N),
        Q(SecondsText(s.P95)));
    flow.Row(QStringLiteral("Max"), Seconds(s.Max));
    flow.Row(QStringLiteral("Confidence bound"), BoundRow(s));
    flow.Row(QStringLiteral("Running p95"), RunningRow(s));
    QString note = QStringLiteral(
        "The evacuation time of a run is the largest exit time of its persons. The p95 follows "
        "the ranking rule of the guidelines: the m-th smallest of the N evacuation times with "
        "m = min(N, ceil(0.95 \u00b7 N) + 1). Its upper 95 % confidence bound is the smallest "
        "order statistic that lies at or above the 95th percentile of all possible runs with "
        "at least 95 % confidence, whatever the distribution; it exists from 59 runs. The "
        "running p95 is the p95 of the first n runs in the order given; its change over the "
        "last 10 runs shows whether more runs would still move it.");
    if (s.N < 50) note += QStringLiteral(" The 95th percentile rests on fewer than 50 runs.");
    flow.Note(note);

    flow.PageBreak();
    flow.Chart(report::DistributionChart(set.Runs, s));
    flow.Chart(report::RunningChart(s));
    flow.PageBreak();
    flow.Heading(QStringLiteral("Runs, in the order given"));
    RunTable(flow, set.Runs);

    return report::PrintPages(writer, painter, canvas, flow.Pages(),
                              QStringLiteral("Evacuation analysis over runs: %1").arg(caseName));
}

}  // namespace orlex
