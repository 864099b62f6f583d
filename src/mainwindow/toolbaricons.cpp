#include "toolbaricons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace orlex {

namespace {

constexpr int kSize = 16;

void Triangle(QPainter& p, double left, double right, bool pointsRight) {
    QPolygonF t;
    if (pointsRight) {
        t << QPointF(left, 3) << QPointF(right, 8) << QPointF(left, 13);
    } else {
        t << QPointF(right, 3) << QPointF(left, 8) << QPointF(right, 13);
    }
    p.drawPolygon(t);
}

void Camera(QPainter& p, double x, double y, const QColor& body) {
    p.setBrush(body);
    p.drawRoundedRect(QRectF(x, y + 2, 11, 7), 1.5, 1.5);
    p.drawRect(QRectF(x + 3, y, 4, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(x + 5.5, y + 5.5), 2.2, 2.2);
}

void Draw(QPainter& p, TToolIcon kind, bool enabled) {
    const QColor ink = enabled ? QColor(30, 30, 30) : QColor(150, 150, 150);
    const QColor accent = enabled ? QColor(20, 110, 200) : QColor(175, 175, 175);
    const QColor green = enabled ? QColor(30, 150, 60) : QColor(175, 175, 175);
    p.setPen(QPen(ink, 1));
    switch (kind) {
        case TToolIcon::LoadFile: {
            // An opened folder.
            p.setBrush(enabled ? QColor(235, 190, 70) : QColor(200, 200, 200));
            QPolygonF back;
            back << QPointF(1, 3) << QPointF(6, 3) << QPointF(7, 5) << QPointF(13, 5)
                 << QPointF(13, 13) << QPointF(1, 13);
            p.drawPolygon(back);
            p.setBrush(enabled ? QColor(250, 215, 110) : QColor(220, 220, 220));
            QPolygonF front;
            front << QPointF(3, 7) << QPointF(15, 7) << QPointF(13, 13) << QPointF(1, 13);
            p.drawPolygon(front);
            break;
        }
        case TToolIcon::Statistics:
            // A bar chart.
            p.setBrush(accent);
            p.drawRect(QRectF(2, 8, 3, 6));
            p.setBrush(green);
            p.drawRect(QRectF(6.5, 3, 3, 11));
            p.setBrush(enabled ? QColor(200, 60, 50) : QColor(175, 175, 175));
            p.drawRect(QRectF(11, 6, 3, 8));
            p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
            break;
        case TToolIcon::ResetToStart:
            // Bar and triangle pointing left: back to the beginning.
            p.setBrush(accent);
            p.drawRect(QRectF(2, 3, 2, 10));
            Triangle(p, 5, 14, false);
            break;
        case TToolIcon::PlayLoop: {
            // Play triangle inside a loop arrow.
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(accent, 1.5));
            p.drawArc(QRectF(1, 1, 14, 14), 60 * 16, 300 * 16);
            p.setPen(QPen(ink, 1));
            p.setBrush(green);
            QPolygonF t;
            t << QPointF(6, 4.5) << QPointF(12, 8) << QPointF(6, 11.5);
            p.drawPolygon(t);
            break;
        }
        case TToolIcon::StepBack:
            p.setBrush(accent);
            Triangle(p, 1, 8, false);
            Triangle(p, 8, 15, false);
            break;
        case TToolIcon::StepForward:
            p.setBrush(accent);
            Triangle(p, 1, 8, true);
            Triangle(p, 8, 15, true);
            break;
        case TToolIcon::ScreenShotSingle:
            Camera(p, 2.5, 3.5, accent);
            break;
        case TToolIcon::ScreenShotSeries:
            // A camera in front of a strip of film.
            p.setBrush(enabled ? QColor(90, 90, 90) : QColor(190, 190, 190));
            p.drawRect(QRectF(0.5, 0.5, 15, 5));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            for (int i = 0; i < 4; ++i) p.drawRect(QRectF(2 + i * 3.5, 2, 2, 2));
            p.setPen(QPen(ink, 1));
            Camera(p, 2.5, 6, accent);
            break;
        case TToolIcon::Measure: {
            // A ruler laid aslant with its marks, and a measured line beneath.
            p.setBrush(enabled ? QColor(235, 190, 70) : QColor(200, 200, 200));
            QPolygonF ruler;
            ruler << QPointF(1, 10) << QPointF(10, 1) << QPointF(14, 5) << QPointF(5, 14);
            p.drawPolygon(ruler);
            for (int i = 1; i <= 4; ++i) {
                const double x = 1 + i * 1.8, y = 10 - i * 1.8;
                const double mark = i % 2 == 0 ? 2.2 : 1.3;
                p.drawLine(QPointF(x, y), QPointF(x + mark, y + mark));
            }
            p.setPen(QPen(enabled ? QColor(220, 40, 150) : QColor(175, 175, 175), 1.5));
            p.drawLine(QPointF(8, 15), QPointF(15, 8));
            break;
        }
    }
}

QPixmap Render(TToolIcon kind, bool enabled) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    Draw(p, kind, enabled);
    return pixmap;
}

}  // namespace

QIcon ToolBarIcon(TToolIcon kind) {
    QIcon icon;
    icon.addPixmap(Render(kind, true), QIcon::Normal);
    icon.addPixmap(Render(kind, false), QIcon::Disabled);
    return icon;
}

}  // namespace orlex
