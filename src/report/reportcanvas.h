// The pages of a report on one painter: sizes in millimetres, the fonts, wrapped
// text and the footer. Coordinates are the writer's device units, y down the page.
#pragma once

#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRectF>
#include <QString>

namespace orlex::report {

class TCanvas {
public:
    // The writer's resolution and page size must be set; the painter need not be
    // active yet (the layout measures text before anything is drawn).
    TCanvas(QPdfWriter& writer, QPainter& painter);

    QPainter& Painter() { return P_; }
    double Mm(double mm) const { return mm * Dpi_ / 25.4; }
    // The page's paint area less the footer band.
    QRectF Body() const;
    // The body of a page of the given orientation, before it is started.
    QRectF BodyOf(QPageLayout::Orientation orientation) const;

    QFont Font(double points, bool bold = false) const;
    double TextWidth(const QString& text, const QFont& font) const;
    // text shortened in the middle ("...") to fit width.
    QString Elided(const QString& text, const QFont& font, double width) const;
    // The height of text wrapped to width (a line for an empty text).
    double TextHeight(const QString& text, const QFont& font, double width) const;
    // Draws text wrapped to width from its top-left corner; returns the height used.
    double Text(const QString& text, const QFont& font, double x, double y, double width,
                int align = Qt::AlignLeft, const QColor& color = Qt::black);
    // One line with its baseline-free box centred at (x, y) or aligned by align to x.
    void Label(const QString& text, const QFont& font, double x, double y, int align,
               const QColor& color = Qt::black);

    // Ends the page and starts the next in the given orientation.
    void NewPage(QPageLayout::Orientation orientation);
    // The file name at the left, "Page n of m" at the right, under a thin rule.
    void Footer(const QString& file, int page, int pages);

private:
    QPdfWriter& Writer_;
    QPainter& P_;
    double Dpi_;
};

}  // namespace orlex::report
