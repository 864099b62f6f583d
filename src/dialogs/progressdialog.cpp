#include "progressdialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

namespace orlex {

namespace {
constexpr int kClientWidth = 292;
constexpr int kClientHeight = 50;
constexpr int kBarHeight = 25;
constexpr qint64 kEventPeriodMs = 1000 / TFProgressDialog::EventsPerSecond;
}  // namespace

TFProgressDialog::TFProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("FProgressDialog");
    setWindowTitle("Progress");
    setModal(false);
    setFixedSize(kClientWidth, kClientHeight);

    ProgressInfo = new QLabel("...", this);
    ProgressInfo->setObjectName("ProgressInfo");
    ProgressInfo->move(0, 8);
    ProgressInfo->adjustSize();

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setGeometry(0, kClientHeight - kBarHeight, kClientWidth, kBarHeight);
}

void TFProgressDialog::SetInfo(const std::string& text) {
    const QString info = QString::fromStdString(text);
    if (info == ProgressInfo->text()) return;
    ProgressInfo->setText(info);
    // Sized to its text, but never wider than the dialog.
    ProgressInfo->adjustSize();
    if (ProgressInfo->width() > kClientWidth)
        ProgressInfo->resize(kClientWidth, ProgressInfo->height());
}

void TFProgressDialog::SetPosition(int position) {
    position = std::clamp(position, 0, 100);
    if (position == Position_) return;
    Position_ = position;
    ProgressBar->setValue(position);
}

void TFProgressDialog::Show() {
    if (isVisible()) return;
    CentreOnParent();
    show();
    raise();
}

void TFProgressDialog::ProcessEvents() {
    if (SinceEvents_.isValid() && SinceEvents_.elapsed() < kEventPeriodMs) return;
    ++EventRounds_;
    QCoreApplication::processEvents();
    // Measured after the events ran, so a slow repaint does not eat the next period.
    SinceEvents_.start();
}

void TFProgressDialog::Close() {
    Closing_ = true;
    hide();
    Closing_ = false;
    SinceEvents_.invalidate();
}

void TFProgressDialog::closeEvent(QCloseEvent* event) {
    // Only Close() may hide the dialog; the window system's close request is refused.
    if (Closing_) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

void TFProgressDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFProgressDialog::reject() {
    // Esc and the window manager's close would end the dialog: ignored while it is shown.
}

void TFProgressDialog::CentreOnParent() {
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner == nullptr || !owner->isVisible()) return;
    const QRect frame = owner->frameGeometry();
    move(frame.center() - QPoint(width() / 2, height() / 2));
}

}  // namespace orlex
