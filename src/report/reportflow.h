// The flowing portrait pages of a report: blocks of a height (title, headings, rows
// of a table, notes, charts) stacked down the page and cut into pages, a heading
// kept with what follows it, a table's header repeated at the top of every page it
// runs onto.
#pragma once

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "reportcanvas.h"
#include "reportchart.h"
#include "summary.h"

namespace orlex::report {

// A page: its orientation and what it holds.
struct TPage {
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    std::function<void(TCanvas&)> Draw;
};

// One piece of the flowing pages: a height and how to draw it at a height y.
struct TBlock {
    double Height = 0;
    std::function<void(TCanvas&, double y)> Draw;
    bool KeepWithNext = false;  // a heading stays with what follows it
    bool PageBreak = false;     // starts a new page
    // Drawn first when this block opens a page (a table's header).
    std::shared_ptr<const TBlock> Repeat;
};

// "yyyy-MM-dd HH:mm", "-" for an invalid date.
QString DateText(const QDateTime& date);

// A4 portrait, the report's margins and resolution, the document's title.
void SetUpWriter(QPdfWriter& writer, const QString& title);
// Draws the pages, each with the footer (text at the left, "Page n of m" at the
// right). False when the painter cannot start on the writer or fails.
bool PrintPages(QPdfWriter& writer, QPainter& painter, TCanvas& canvas,
                const std::vector<TPage>& pages, const QString& footer);

class TFlow {
public:
    explicit TFlow(TCanvas& canvas);

    double Width() const { return Width_; }
    TCanvas& Canvas() const { return C_; }

    void Title(const QString& text, const QString& subtitle);
    void Heading(const QString& text);
    // A row of a two-column table: the name in bold, the value wrapped beside it.
    void SetNameWidth(double mm) { NameMm_ = mm; }
    double NameWidth() const { return NameMm_; }
    void Row(const QString& name, const QString& value);
    void Rows(const std::vector<TSummaryRow>& rows);
    void Note(const QString& text);
    void Chart(const TChart& chart);
    void PageBreak();
    // Any block; with repeat, that block is drawn above it when it opens a page.
    void Add(double height, std::function<void(TCanvas&, double)> draw,
             std::shared_ptr<const TBlock> repeat = nullptr);

    // Cuts the blocks into portrait pages.
    std::vector<TPage> Pages() const;

private:
    TCanvas& C_;
    double Width_;
    double NameMm_ = 55;
    std::vector<TBlock> Blocks_;
};

}  // namespace orlex::report
