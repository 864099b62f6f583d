#include "pdfreport.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

#include "deckplan.h"
#include "measurepage.h"
#include "reportcanvas.h"
#include "reportchart.h"
#include "reportflow.h"
#include "summary.h"

#ifndef ORLEX_VERSION_STRING
#define ORLEX_VERSION_STRING ""
#endif

namespace orlex {

namespace {

using report::DateText;
using report::TCanvas;
using report::TFlow;
using report::TPage;

std::vector<std::string> Names(const QStringList& captions) {
    std::vector<std::string> names;
    for (const QString& caption : captions) names.push_back(caption.toStdString());
    return names;
}

QString ProjectText(const TAnalysisResult& r) {
    return QStringLiteral("%1 %2 of %3 \u00d7 %4 cells, %5 %6, %7 steps a second")
        .arg(r.Decks)
        .arg(r.Decks == 1 ? QStringLiteral("deck") : QStringLiteral("decks"))
        .arg(r.Columns)
        .arg(r.Rows)
        .arg(r.Persons)
        .arg(r.Persons == 1 ? QStringLiteral("person") : QStringLiteral("persons"))
        .arg(r.StepsPerSecond);
}

}  // namespace

bool WriteAnalysisPdf(QIODevice& device, const TAnalysisResult& r, const TAnalysisSource& src) {
    QPdfWriter writer(&device);
    report::SetUpWriter(
        writer,
        QStringLiteral("Evacuation analysis of %1").arg(QFileInfo(src.ProjectFile).fileName()));
    QPainter painter;
    TCanvas canvas(writer, painter);

    const QString version =
        src.Version.isEmpty() ? QStringLiteral(ORLEX_VERSION_STRING) : src.Version;
    const QDateTime analysed =
        src.AnalysisDate.isValid() ? src.AnalysisDate : QDateTime::currentDateTime();
    const std::vector<std::string> names = Names(src.Captions);
    TFlow flow(canvas);
    flow.Title(QStringLiteral("Evacuation analysis"), QFileInfo(src.ProjectFile).fileName());
    flow.Heading(QStringLiteral("Project"));
    flow.Row(QStringLiteral("File"), src.ProjectFile);
    flow.Row(QStringLiteral("File date"), DateText(src.FileDate));
    flow.Row(QStringLiteral("Project"), ProjectText(r));
    flow.Row(QStringLiteral("Date of the analysis"), DateText(analysed));
    flow.Row(QStringLiteral("Program"), QStringLiteral("ORLEX Viewer %1").arg(version).trimmed());
    flow.Heading(QStringLiteral("Analysis settings"));
    flow.Rows(SettingsRows(r.Settings));
    flow.Heading(QStringLiteral("Results (MSC.1/Circ.1533)"));
    flow.Rows(SummaryRows(r, names));
    flow.Note(QStringLiteral(
        "Exit times are the simulated times at which the persons reach safety; the evacuation "
        "time is the largest. p50 and p95 follow the ranking rule of the guidelines: the m-th "
        "smallest of N values with m = min(N, ceil(X/100 \u00b7 N) + 1). The density is counted "
        "in a window of cells around every cell; a cell is congested when its density stays "
        "above the limit for longer than the congestion share of the duration."));
    report::AddMeasureRows(flow, r, names);
    flow.PageBreak();
    flow.Chart(report::SavedChart(r));
    flow.Chart(report::OccupancyChart(r, src.Captions));
    std::vector<TPage> pages = flow.Pages();

    report::TPlanMarks marks;
    marks.Result = &r;
    marks.Set = src.Measures;
    if (src.Project) marks.Frame = MetreFrameOf(*src.Project, r.Settings.CellSize);
    if (src.Project) {
        const int decks = std::min<int>(r.Decks, static_cast<int>(src.Project->Decks.size()));
        for (int z = 0; z < decks; ++z) {
            // Each plan is built when its page is drawn, so that one deck's plan is
            // held at a time.
            const TDeck& deck = src.Project->Decks[static_cast<std::size_t>(z)];
            const QString caption = QString::fromStdString(DeckLabel(names, z));
            const auto extent = report::DeckExtent(deck, r.Columns, r.Rows);
            pages.push_back({report::PlanOrientation(canvas, extent),
                             [&r, &deck, &marks, caption, z](TCanvas& c) {
                                 report::DrawDeckPage(c, r, deck, caption, z, &marks);
                             }});
        }
    }

    const QString file = QFileInfo(src.ProjectFile).fileName();
    return report::PrintPages(writer, painter, canvas, pages,
                              QStringLiteral("Evacuation analysis of %1").arg(file));
}

bool SaveAtomically(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QString& why) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        why = file.errorString();
        return false;
    }
    if (!write(file)) {
        why = file.error() != QFileDevice::NoError ? file.errorString()
                                                   : QStringLiteral("Write error");
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        why = file.errorString();
        return false;
    }
    return true;
}

}  // namespace orlex
