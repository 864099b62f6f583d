#include "pdfreport.h"

#include <QFileInfo>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

#include "deckplan.h"
#include "reportcanvas.h"
#include "reportchart.h"
#include "summary.h"

#ifndef ORLEX_VERSION_STRING
#define ORLEX_VERSION_STRING ""
#endif

namespace orlex {

namespace {

using report::TCanvas;

// One piece of the flowing pages: a height and how to draw it at a height y.
struct TBlock {
    double Height = 0;
    std::function<void(TCanvas&, double y)> Draw;
    bool KeepWithNext = false;  // a heading stays with what follows it
    bool PageBreak = false;     // starts a new page
};

// A page: its orientation and what it holds.
struct TPage {
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    std::function<void(TCanvas&)> Draw;
};

QString DateText(const QDateTime& date) {
    return date.isValid() ? QLocale::c().toString(date, QStringLiteral("yyyy-MM-dd HH:mm"))
                          : QStringLiteral("-");
}

std::vector<std::string> Names(const QStringList& captions) {
    std::vector<std::string> names;
    for (const QString& caption : captions) names.push_back(caption.toStdString());
    return names;
}

// Builds the blocks of the first pages.
class TFlow {
public:
    explicit TFlow(TCanvas& canvas)
        : C_(canvas), Width_(canvas.BodyOf(QPageLayout::Portrait).width()) {}

    void Title(const QString& text, const QString& subtitle) {
        const QFont big = C_.Font(20, true), small = C_.Font(11);
        const double h1 = C_.TextHeight(text, big, Width_);
        const double h2 = C_.TextHeight(subtitle, small, Width_);
        Add(h1 + h2 + C_.Mm(6), [=, this](TCanvas& c, double y) {
            c.Text(text, big, 0, y, Width_);
            c.Text(subtitle, small, 0, y + h1 + C_.Mm(1), Width_, Qt::AlignLeft,
                   QColor(60, 60, 60));
        });
    }
    void Heading(const QString& text) {
        const QFont font = C_.Font(12, true);
        const double h = C_.TextHeight(text, font, Width_);
        Add(h + C_.Mm(5),
            [=, this](TCanvas& c, double y) { c.Text(text, font, 0, y + C_.Mm(3), Width_); });
        Blocks_.back().KeepWithNext = true;
    }
    void Row(const QString& name, const QString& value) {
        const QFont font = C_.Font(9.5), bold = C_.Font(9.5, true);
        const double nameWidth = C_.Mm(55), valueWidth = Width_ - nameWidth - C_.Mm(2);
        const double pad = C_.Mm(1.1);
        const double h = std::max(C_.TextHeight(name, bold, nameWidth - C_.Mm(2)),
                                  C_.TextHeight(value, font, valueWidth)) +
                         2 * pad;
        Add(h, [=, this](TCanvas& c, double y) {
            c.Text(name, bold, C_.Mm(1), y + pad, nameWidth - C_.Mm(2));
            c.Text(value, font, nameWidth, y + pad, valueWidth);
            c.Painter().setPen(QPen(QColor(200, 200, 200), C_.Mm(0.15)));
            c.Painter().drawLine(QPointF(0, y + h), QPointF(Width_, y + h));
        });
    }
    void Rows(const std::vector<TSummaryRow>& rows) {
        for (const TSummaryRow& row : rows)
            Row(QString::fromStdString(row.Name), QString::fromStdString(row.Value));
    }
    void Note(const QString& text) {
        const QFont font = C_.Font(8);
        const double h = C_.TextHeight(text, font, Width_);
        Add(h + C_.Mm(3), [=, this](TCanvas& c, double y) {
            c.Text(text, font, 0, y + C_.Mm(2), Width_, Qt::AlignLeft, QColor(60, 60, 60));
        });
    }
    void Chart(const report::TChart& chart) {
        Add(report::ChartHeight(C_, chart, Width_) + C_.Mm(6), [=, this](TCanvas& c, double y) {
            report::DrawChart(c, chart, 0, y + C_.Mm(3), Width_);
        });
    }
    void PageBreak() {
        Add(0, {});
        Blocks_.back().PageBreak = true;
    }

    // Cuts the blocks into portrait pages.
    std::vector<TPage> Pages() const {
        const double height = C_.BodyOf(QPageLayout::Portrait).height();
        std::vector<std::vector<std::pair<const TBlock*, double>>> pages(1);
        double y = 0;
        for (std::size_t i = 0; i < Blocks_.size(); ++i) {
            const TBlock& block = Blocks_[i];
            if (block.PageBreak) {
                if (!pages.back().empty()) pages.emplace_back();
                y = 0;
                continue;
            }
            double need = block.Height;
            if (block.KeepWithNext && i + 1 < Blocks_.size()) need += Blocks_[i + 1].Height;
            if (y + need > height && !pages.back().empty()) {
                pages.emplace_back();
                y = 0;
            }
            pages.back().push_back({&block, y});
            y += block.Height;
        }
        std::vector<TPage> result;
        for (const auto& page : pages) {
            result.push_back({QPageLayout::Portrait, [page](TCanvas& c) {
                                  for (const auto& [block, y] : page) block->Draw(c, y);
                              }});
        }
        return result;
    }

private:
    void Add(double height, std::function<void(TCanvas&, double)> draw) {
        Blocks_.push_back({height, std::move(draw)});
    }
    TCanvas& C_;
    double Width_;
    std::vector<TBlock> Blocks_;
};

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
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter);
    writer.setResolution(600);
    writer.setTitle(
        QStringLiteral("Evacuation analysis of %1").arg(QFileInfo(src.ProjectFile).fileName()));
    writer.setCreator(QStringLiteral("ORLEX Viewer"));
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
    flow.PageBreak();
    flow.Chart(report::SavedChart(r));
    flow.Chart(report::OccupancyChart(r, src.Captions));
    std::vector<TPage> pages = flow.Pages();

    if (src.Project) {
        const int decks = std::min<int>(r.Decks, static_cast<int>(src.Project->Decks.size()));
        for (int z = 0; z < decks; ++z) {
            // Each plan is built when its page is drawn, so that one deck's plan is
            // held at a time.
            const TDeck& deck = src.Project->Decks[static_cast<std::size_t>(z)];
            const QString caption = QString::fromStdString(DeckLabel(names, z));
            const auto extent = report::DeckExtent(deck, r.Columns, r.Rows);
            pages.push_back(
                {report::PlanOrientation(canvas, extent), [&r, &deck, caption, z](TCanvas& c) {
                     report::DrawDeckPage(c, r, deck, caption, z);
                 }});
        }
    }

    const QString file = QFileInfo(src.ProjectFile).fileName();
    writer.setPageOrientation(pages.front().Orientation);
    if (!painter.begin(&writer)) return false;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) canvas.NewPage(pages[i].Orientation);
        pages[i].Draw(canvas);
        canvas.Footer(QStringLiteral("Evacuation analysis of %1").arg(file),
                      static_cast<int>(i) + 1, static_cast<int>(pages.size()));
    }
    return painter.end();
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
