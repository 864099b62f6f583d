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
    // Kept until events next run: the label is laid out and painted then.
    if (text == Info_) return;
    Info_ = text;
    InfoDirty_ = true;
}

void TFProgressDialog::SetPosition(int position) {
    // The bar repaints at once on every change of its value, so it is only
    // brought up to date when events run.
    Position_ = std::clamp(position, 0, 100);
}

void TFProgressDialog::Flush() {
    if (InfoDirty_) {
        InfoDirty_ = false;
        ProgressInfo->setText(QString::fromStdString(Info_));
        // Sized to its text, but never wider than the dialog.
        ProgressInfo->adjustSize();
        if (ProgressInfo->width() > kClientWidth) {
            ProgressInfo->resize(kClientWidth, ProgressInfo->height());
        }
    }
    if (ProgressBar->value() != Position_) ProgressBar->setValue(Position_);
}

void TFProgressDialog::Show() {
    if (isVisible()) return;
    Flush();
    CentreOnParent();
    show();
    raise();
}

void TFProgressDialog::ProcessEvents() {
    if (SinceEvents_.isValid() && SinceEvents_.elapsed() < kEventPeriodMs) return;
    ++EventRounds_;
    Flush();
    QCoreApplication::processEvents();
    // Measured after the events ran, so a slow repaint does not eat the next period.
    SinceEvents_.start();
}

void TFProgressDialog::Close() {
    Flush();
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
