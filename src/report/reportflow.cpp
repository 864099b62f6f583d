#include "reportflow.h"

#include <QDateTime>
#include <QLocale>
#include <QPageSize>
#include <algorithm>

namespace orlex::report {

QString DateText(const QDateTime& date) {
    return date.isValid() ? QLocale::c().toString(date, QStringLiteral("yyyy-MM-dd HH:mm"))
                          : QStringLiteral("-");
}

void SetUpWriter(QPdfWriter& writer, const QString& title) {
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter);
    writer.setResolution(600);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("ORLEX Viewer"));
}

bool PrintPages(QPdfWriter& writer, QPainter& painter, TCanvas& canvas,
                const std::vector<TPage>& pages, const QString& footer) {
    if (pages.empty()) return false;
    writer.setPageOrientation(pages.front().Orientation);
    if (!painter.begin(&writer)) return false;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) canvas.NewPage(pages[i].Orientation);
        pages[i].Draw(canvas);
        canvas.Footer(footer, static_cast<int>(i) + 1, static_cast<int>(pages.size()));
    }
    return painter.end();
}

TFlow::TFlow(TCanvas& canvas) : C_(canvas), Width_(canvas.BodyOf(QPageLayout::Portrait).width()) {}

void TFlow::Title(const QString& text, const QString& subtitle) {
    const QFont big = C_.Font(20, true), small = C_.Font(11);
    const double h1 = C_.TextHeight(text, big, Width_);
    const double h2 = C_.TextHeight(subtitle, small, Width_);
    Add(h1 + h2 + C_.Mm(6), [=, this](TCanvas& c, double y) {
        c.Text(text, big, 0, y, Width_);
        c.Text(subtitle, small, 0, y + h1 + C_.Mm(1), Width_, Qt::AlignLeft, QColor(60, 60, 60));
    });
}

void TFlow::Heading(const QString& text) {
    const QFont font = C_.Font(12, true);
    const double h = C_.TextHeight(text, font, Width_);
    Add(h + C_.Mm(5),
        [=, this](TCanvas& c, double y) { c.Text(text, font, 0, y + C_.Mm(3), Width_); });
    Blocks_.back().KeepWithNext = true;
}

void TFlow::Row(const QString& name, const QString& value) {
    const QFont font = C_.Font(9.5), bold = C_.Font(9.5, true);
    const double nameWidth = C_.Mm(NameMm_), valueWidth = Width_ - nameWidth - C_.Mm(2);
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

void TFlow::Rows(const std::vector<TSummaryRow>& rows) {
    for (const TSummaryRow& row : rows)
        Row(QString::fromStdString(row.Name), QString::fromStdString(row.Value));
}

void TFlow::Note(const QString& text) {
    const QFont font = C_.Font(8);
    const double h = C_.TextHeight(text, font, Width_);
    Add(h + C_.Mm(3), [=, this](TCanvas& c, double y) {
        c.Text(text, font, 0, y + C_.Mm(2), Width_, Qt::AlignLeft, QColor(60, 60, 60));
    });
}

void TFlow::Chart(const TChart& chart) {
    Add(ChartHeight(C_, chart, Width_) + C_.Mm(6),
        [=, this](TCanvas& c, double y) { DrawChart(c, chart, 0, y + C_.Mm(3), Width_); });
}

void TFlow::PageBreak() {
    Add(0, {});
    Blocks_.back().PageBreak = true;
}

void TFlow::Add(double height, std::function<void(TCanvas&, double)> draw,
                std::shared_ptr<const TBlock> repeat) {
    TBlock block;
    block.Height = height;
    block.Draw = std::move(draw);
    block.Repeat = std::move(repeat);
    Blocks_.push_back(std::move(block));
}

std::vector<TPage> TFlow::Pages() const {
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
        if (y == 0 && block.Repeat) {
            pages.back().push_back({block.Repeat.get(), y});
            y += block.Repeat->Height;
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

}  // namespace orlex::report
