#include "reportcanvas.h"

#include <QFontMetricsF>

namespace orlex::report {

namespace {

// The band at the foot of every page that holds the footer.
constexpr double kFooterMm = 9;

}  // namespace

TCanvas::TCanvas(QPdfWriter& writer, QPainter& painter)
    : Writer_(writer), P_(painter), Dpi_(writer.resolution()) {}

QRectF TCanvas::Body() const {
    return QRectF(0, 0, Writer_.width(), Writer_.height() - Mm(kFooterMm));
}

QRectF TCanvas::BodyOf(QPageLayout::Orientation orientation) const {
    QPageLayout layout = Writer_.pageLayout();
    layout.setOrientation(orientation);
    const QRectF mm = layout.paintRect(QPageLayout::Millimeter);
    return QRectF(0, 0, Mm(mm.width()), Mm(mm.height() - kFooterMm));
}

QFont TCanvas::Font(double points, bool bold) const {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial")});
    // No ligatures: the text of the file must read back as written ("floor", not
    // "\ufb02oor") for a search or a copy.
    font.setStyleHint(QFont::SansSerif, QFont::PreferNoShaping);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

double TCanvas::TextWidth(const QString& text, const QFont& font) const {
    return QFontMetricsF(font, &Writer_).horizontalAdvance(text);
}

QString TCanvas::Elided(const QString& text, const QFont& font, double width) const {
    return QFontMetricsF(font, &Writer_).elidedText(text, Qt::ElideMiddle, width);
}

double TCanvas::TextHeight(const QString& text, const QFont& font, double width) const {
    const QFontMetricsF metrics(font, &Writer_);
    if (text.isEmpty()) return metrics.height();
    return metrics.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, text).height();
}

double TCanvas::Text(const QString& text, const QFont& font, double x, double y, double width,
                     int align, const QColor& color) {
    const double height = TextHeight(text, font, width);
    P_.setFont(font);
    P_.setPen(color);
    P_.drawText(QRectF(x, y, width, height), align | Qt::TextWordWrap, text);
    return height;
}

void TCanvas::Label(const QString& text, const QFont& font, double x, double y, int align,
                    const QColor& color) {
    const QFontMetricsF metrics(font, &Writer_);
    const double w = metrics.horizontalAdvance(text) + 2;
    const double h = metrics.height();
    double left = x - w / 2;
    if (align & Qt::AlignLeft) left = x;
    if (align & Qt::AlignRight) left = x - w;
    double top = y - h / 2;
    if (align & Qt::AlignTop) top = y;
    if (align & Qt::AlignBottom) top = y - h;
    P_.setFont(font);
    P_.setPen(color);
    const int horizontal =
        align & Qt::AlignHorizontal_Mask ? align & Qt::AlignHorizontal_Mask : Qt::AlignHCenter;
    P_.drawText(QRectF(left, top, w, h), horizontal | Qt::AlignVCenter, text);
}

void TCanvas::NewPage(QPageLayout::Orientation orientation) {
    // The new layout holds from the next page on.
    Writer_.setPageOrientation(orientation);
    Writer_.newPage();
}

void TCanvas::Footer(const QString& file, int page, int pages) {
    const double width = Writer_.width();
    const double top = Writer_.height() - Mm(kFooterMm) + Mm(3);
    P_.setPen(QPen(QColor(150, 150, 150), Mm(0.2)));
    P_.drawLine(QPointF(0, top), QPointF(width, top));
    const QFont font = Font(8);
    const double y = top + Mm(1.2);
    const QString number = QStringLiteral("Page %1 of %2").arg(page).arg(pages);
    const double numberWidth = TextWidth(number, font) + Mm(2);
    const double room = width - numberWidth - Mm(4);
    Text(Elided(file, font, room), font, 0, y, room, Qt::AlignLeft, QColor(60, 60, 60));
    Text(number, font, width - numberWidth, y, numberWidth, Qt::AlignRight, QColor(60, 60, 60));
}

}  // namespace orlex::report
