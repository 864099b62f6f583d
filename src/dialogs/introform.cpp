#include "introform.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#ifndef ORLEX_VERSION_STRING
#define ORLEX_VERSION_STRING ""
#endif

namespace orlex {

namespace {
constexpr int kPictureWidth = 385;
constexpr int kPictureHeight = 170;
constexpr int kClickableAbove = 2000;  // ms
}  // namespace

TIntroForm::TIntroForm(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName("IntroForm");
    setFixedSize(kPictureWidth, kPictureHeight);
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    picture_ = ProductPicture();

    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Label2->move(8, 24);
    Label2->setAttribute(Qt::WA_TransparentForMouseEvents);  // clicks reach CloseForm
    Label2->setStyleSheet("color: white; background: transparent;");
    Label3 = new QLabel("Version:", this);
    Label3->setObjectName("Label3");
    Label3->move(16, 144);
    Label3->setAttribute(Qt::WA_TransparentForMouseEvents);
    Label3->setStyleSheet("color: white; background: transparent;");

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

void TIntroForm::SetDisplayTime(int milliseconds) {
    Timer1->setInterval(std::max(0, milliseconds));
}

int TIntroForm::DisplayTime() const {
    return Timer1->interval();
}

QString TIntroForm::VersionTextFrom(const QString& version, int parts) {
    const QString trimmed = version.trimmed();
    if (trimmed.isEmpty()) return QStringLiteral("No file information available.");
    const QStringList pieces = trimmed.split(QLatin1Char('.'));
    if (pieces.size() < 2 || pieces.size() > 4) {
        return QStringLiteral("No version information available.");
    }
    int numbers[4] = {0, 0, 0, 0};
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        bool ok = false;
        const uint v = pieces[i].toUInt(&ok, 10);
        if (!ok || v > 0xFFFF) return QStringLiteral("No version information available.");
        numbers[i] = static_cast<int>(v);
    }
    const int count = std::clamp(parts, 2, 4);
    QStringList out;
    for (int i = 0; i < count; ++i) out << QString::number(numbers[i]);
    return out.join(QLatin1Char('.'));
}

QString TIntroForm::GetVersionText(int parts) {
    return VersionTextFrom(QStringLiteral(ORLEX_VERSION_STRING), parts);
}

QString TIntroForm::NoticeText() {
    return QStringLiteral(
        "ORLEX Viewer is developed by Quenwick\n"
        "and owned by Quenwick and its licensors.\n"
        "\n"
        "Please ask Quenwick for updates.");
}

void TIntroForm::FormActivate() {
    Label3->setText(QStringLiteral("Version: ") + GetVersionText(4));
    Label3->adjustSize();
    Label2->setText(NoticeText());
    Label2->adjustSize();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // Each showing runs the full display time (a countdown left over from a
    // showing closed by a click does not cut the next one short).
    Timer1->start();
}

void TIntroForm::Timer1Timer() {
    Timer1->stop();
    if (isVisible()) done(QDialog::Accepted);
}

void TIntroForm::CloseForm() {
    if (Timer1->isActive() && Timer1->interval() > kClickableAbove) done(QDialog::Accepted);
}

void TIntroForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (parentWidget()) {
        const QWidget* top = parentWidget()->window();
        move(top->frameGeometry().center() - rect().center());
    }
    FormActivate();
}

void TIntroForm::mousePressEvent(QMouseEvent* event) {
    event->accept();
    CloseForm();
}

void TIntroForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}

QPixmap TIntroForm::ProductPicture() {
    QPixmap pix(kPictureWidth, kPictureHeight);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    // Night-blue sky over a dark sea.
    QLinearGradient sky(0, 0, 0, kPictureHeight);
    sky.setColorAt(0.0, QColor(18, 40, 88));
    sky.setColorAt(0.65, QColor(40, 92, 150));
    sky.setColorAt(1.0, QColor(10, 30, 60));
    p.fillRect(pix.rect(), sky);
    // A ship's hull with its decks, seen from the side.
    QPainterPath hull;
    hull.moveTo(246, 114);
    hull.lineTo(380, 114);
    hull.lineTo(368, 138);
    hull.lineTo(258, 138);
    hull.closeSubpath();
    p.fillPath(hull, QColor(200, 205, 215));
    p.setPen(QPen(QColor(120, 125, 140), 1));
    p.drawPath(hull);
    for (int deck = 0; deck < 3; ++deck) {
        const int top = 96 - deck * 16;
        const int left = 262 + deck * 12;
        const int right = 366 - deck * 10;
        p.fillRect(QRect(left, top, right - left, 16), QColor(230, 232, 238));
        p.setPen(QColor(150, 155, 170));
        for (int x = left; x <= right; x += 10) p.drawLine(x, top, x, top + 16);
        p.drawRect(QRect(left, top, right - left, 16));
    }
    // Persons on their way to the muster station.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 190, 40));
    const int people[][2] = {{270, 104}, {286, 106}, {300, 102}, {296, 88},
                             {318, 90},  {330, 72},  {344, 74},  {352, 104}};
    for (const auto& pt : people) p.drawEllipse(QPoint(pt[0], pt[1]), 3, 3);
    // Sea.
    p.setBrush(QColor(15, 50, 90));
    p.drawRect(0, 134, kPictureWidth, kPictureHeight - 134);
    p.setPen(QPen(QColor(70, 120, 170), 1));
    for (int x = 0; x < kPictureWidth; x += 24) {
        const int y = 142 + (x / 24) % 3 * 6;
        p.drawLine(x, y, x + 12, y);
    }
    // Product name, top right above the ship.
    QFont title;
    title.setPixelSize(20);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(130, 132, 248, 34), Qt::AlignRight | Qt::AlignVCenter, "ORLEX Viewer");
    p.end();
    return pix;
}

}  // namespace orlex
