#include "analysisexport.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

#include "analysisdock.h"
#include "deckoverlay.h"
#include "jsonwriter.h"

namespace orlex {

namespace {

QByteArray Number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toUtf8();
}

// A CSV field: quoted when it holds a separator, a quote or a line break.
QByteArray Field(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n')) return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QString SettingsText(const TAnalysisSettings& s) {
    return QStringLiteral(
               "Cell size %1 m, window %2 x %2 cells, density limit %3 persons/m\u00b2, "
               "congestion share %4 %")
        .arg(s.CellSize)
        .arg(s.Window)
        .arg(s.DensityLimit)
        .arg(s.CongestionShare * 100);
}

QColor CellColor(uint8_t code) {
    switch (code) {
        case kCodeWhite:
            return QColor(235, 235, 235);
        case kCodeBlock:
            return QColor(90, 90, 90);
        case kCodeGreen:
            return QColor(150, 210, 150);
        case kCodeRed:
            return QColor(230, 150, 150);
        case kCodeGrey:
            return QColor(180, 180, 180);
        case kCodeBlue:
            return QColor(150, 170, 230);
        default:
            return QColor(255, 255, 255, 0);
    }
}

// The report's pages on one painter; y runs down the page in device pixels.
class TReport {
public:
    TReport(QPdfWriter& writer, QPainter& painter) : Writer_(writer), P_(painter) {
        Page_ = QRectF(0, 0, writer.width(), writer.height());
        Line_ = QFontMetricsF(painter.font(), painter.device()).lineSpacing();
    }

    void Text(const QString& text, bool bold = false) {
        QFont font = P_.font();
        font.setBold(bold);
        P_.setFont(font);
        Room(Line_);
        P_.drawText(QRectF(0, Y_, Page_.width(), Line_), Qt::AlignLeft | Qt::AlignVCenter, text);
        Y_ += Line_;
    }
    void Gap() { Y_ += Line_ / 2; }
    void Chart(QChart* chart) {
        const double height = Page_.width() * 0.5;
        Room(height);
        PaintChart(chart, P_, QRectF(0, Y_, Page_.width(), height));
        Y_ += height + Line_;
    }
    void NewPage() {
        Writer_.newPage();
        Y_ = 0;
    }
    double Width() const { return Page_.width(); }
    double Left() const { return Page_.height() - Y_; }
    double Y() const { return Y_; }
    void Advance(double height) { Y_ += height; }

private:
    void Room(double height) {
        if (Y_ + height > Page_.height() && Y_ > 0) NewPage();
    }
    QPdfWriter& Writer_;
    QPainter& P_;
    QRectF Page_;
    double Line_ = 12;
    double Y_ = 0;
};

// One deck drawn cell by cell, the time above the limit over it and the congested
// cells outlined.
void DeckPlan(TReport& report, QPainter& p, const TAnalysisResult& r, const TAnalysisSource& src,
              int z) {
    report.NewPage();
    report.Text(
        QStringLiteral("Plan of %1: time above the density limit").arg(DeckName(src.Captions, z)),
        true);
    const TDeck& deck = src.Project->Decks[static_cast<std::size_t>(z)];
    const int columns = std::max(1, r.Columns), rows = std::max(1, r.Rows);
    const double cell = std::min(report.Width() / columns, report.Left() / rows * 0.9);
    const TDeckOverlay overlay = BuildDeckOverlay(r, z, TOverlayKind::TimeAbove, &deck);
    const double top = report.Y();
    // One pixel a cell, drawn scaled: the page stays small however large the deck.
    QImage plan(std::max(1, overlay.Columns), std::max(1, overlay.Rows), QImage::Format_ARGB32);
    plan.fill(Qt::transparent);
    for (int row = 0; row < overlay.Rows; ++row) {
        for (int c = 0; c < overlay.Columns; ++c) {
            const TCell* data = deck.CellAt(row, c);
            if (!data || data->Code == kCodeVoid) continue;
            QColor color = CellColor(data->Code);
            const TRgba& o = overlay.Colors[static_cast<std::size_t>(row) * overlay.Columns + c];
            if (o.A) {
                const double a = o.A / 255.0;
                color = QColor::fromRgbF(color.redF() * (1 - a) + o.R / 255.0 * a,
                                         color.greenF() * (1 - a) + o.G / 255.0 * a,
                                         color.blueF() * (1 - a) + o.B / 255.0 * a);
            }
            plan.setPixelColor(c, row, color);
        }
    }
    p.drawImage(QRectF(0, top, overlay.Columns * cell, overlay.Rows * cell), plan);
    p.setPen(QPen(Qt::red, std::max(1.0, cell / 6)));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < overlay.Rows; ++row)
        for (int c = 0; c < overlay.Columns; ++c)
            if (overlay.Congested[static_cast<std::size_t>(row) * overlay.Columns + c])
                p.drawRect(QRectF(c * cell, top + row * cell, cell, cell));
    p.setPen(Qt::black);
    report.Advance(rows * cell);
    report.Gap();
    QString scale;
    for (const TLegendStop& stop : overlay.Legend.Stops)
        scale += QString::fromStdString(stop.Label) + QStringLiteral(" ");
    report.Text(overlay.Legend.Stops.empty()
                    ? QStringLiteral("No density maps.")
                    : QStringLiteral("Scale (blue to red): %1%2; congested cells outlined in red.")
                          .arg(scale, QString::fromStdString(overlay.Legend.Unit)));
}

bool Fail(IMessages& messages, const QString& path, const QString& reason) {
    messages.ShowMessage(
        QStringLiteral("Cannot write the analysis to\n%1:\n%2").arg(path, reason).toStdString(),
        "Error", TMsgIcon::Error, TMsgButtons::Ok);
    return false;
}

}  // namespace

TAnalysisFormat AnalysisFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv")) return TAnalysisFormat::Csv;
    if (suffix == QLatin1String("json")) return TAnalysisFormat::Json;
    if (suffix == QLatin1String("pdf")) return TAnalysisFormat::Pdf;
    return TAnalysisFormat::Unknown;
}

QString AnalysisExportFilter() {
    return QStringLiteral("PDF report (*.pdf);;CSV file (*.csv);;JSON file (*.json)");
}

QByteArray AnalysisCsv(const TAnalysisResult& r, const QStringList& captions) {
    QByteArray csv = "time_s,saved";
    for (int z = 0; z < static_cast<int>(r.Occupancy.size()); ++z)
        csv += ',' + Field(DeckName(captions, z));
    csv += '\n';
    const std::vector<int> saved = r.SavedPerSecond();
    const std::vector<std::vector<int>> occupancy = r.OccupancyPerSecond();
    for (std::size_t i = 0; i < saved.size(); ++i) {
        csv += Number(static_cast<double>(i) + r.TimeOffset) + ',' + QByteArray::number(saved[i]);
        for (const auto& deck : occupancy) csv += ',' + QByteArray::number(deck[i]);
        csv += '\n';
    }
    csv += "\nperson,exit_time_s\n";
    for (std::size_t i = 0; i < r.ExitTimes.size(); ++i)
        csv += QByteArray::number(i + 1) + ',' + Number(r.ExitTimes[i]) + '\n';
    csv += "\ndeck,row,column,seconds_above\n";
    for (const TCongestedCell& c : r.Congested)
        csv += QByteArray::number(c.Cell.Deck) + ',' + QByteArray::number(c.Cell.Row) + ',' +
               QByteArray::number(c.Cell.Column) + ',' + Number(c.SecondsAbove) + '\n';
    return csv;
}

QByteArray AnalysisJsonBytes(const TAnalysisResult& result) {
    return QByteArray::fromStdString(AnalysisJson(result));
}

bool WriteAnalysisPdf(QIODevice& device, const TAnalysisResult& r, const TAnalysisSource& src) {
    QPdfWriter writer(&device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(150);
    writer.setTitle(QStringLiteral("Evacuation analysis"));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    TReport report(writer, painter);
    report.Text(QStringLiteral("Evacuation analysis"), true);
    report.Gap();
    report.Text(QStringLiteral("File: %1").arg(src.ProjectFile));
    report.Text(QStringLiteral("File date: %1")
                    .arg(QLocale::c().toString(src.FileDate, QStringLiteral("yyyy-MM-dd HH:mm"))));
    report.Text(SettingsText(r.Settings));
    report.Gap();
    TAnalysisPanel panel;
    panel.SetResult(std::make_shared<const TAnalysisResult>(r), src.Captions);
    report.Text(QStringLiteral("Summary"), true);
    for (const QString& line : panel.SummaryLines()) report.Text(line);
    report.Gap();
    report.Chart(panel.EvacuationChart());
    report.Chart(panel.OccupancyChart());
    if (src.Project && r.HasDensity) {
        const int decks = std::min<int>(r.Decks, static_cast<int>(src.Project->Decks.size()));
        for (int z = 0; z < decks; ++z) DeckPlan(report, painter, r, src, z);
    }
    return painter.end();
}

bool ExportAnalysis(const QString& path, const TAnalysisResult& result,
                    const TAnalysisSource& source, IMessages& messages) {
    const TAnalysisFormat format = AnalysisFormatOf(path);
    if (format == TAnalysisFormat::Unknown)
        return Fail(messages, path, QStringLiteral("The name must end in .pdf, .csv or .json."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return Fail(messages, path, file.errorString());
    bool written = true;
    if (format == TAnalysisFormat::Pdf)
        written = WriteAnalysisPdf(file, result, source);
    else
        written = file.write(format == TAnalysisFormat::Csv ? AnalysisCsv(result, source.Captions)
                                                            : AnalysisJsonBytes(result)) >= 0;
    if (!written) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Fail(messages, path, reason.isEmpty() ? QStringLiteral("Write error") : reason);
    }
    if (!file.commit()) return Fail(messages, path, file.errorString());
    return true;
}

}  // namespace orlex
