#include "timelinebar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <algorithm>

namespace orlex {

namespace {

// A click on the groove puts the handle there (and starts a drag) instead of
// moving it by a page.
class TJumpStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Slider_AbsoluteSetButtons) return Qt::LeftButton | Qt::MiddleButton;
        if (hint == SH_Slider_PageSetButtons) return Qt::NoButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

TTimelineBar::TTimelineBar(QWidget* parent) : QWidget(parent) {
    setObjectName("TimelineBar");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);

    Label_TimeNow = new QLabel(this);
    Label_TimeNow->setObjectName("Label_TimeNow");
    Label_TimeNow->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label_TimeNow->setToolTip("simulated time at the slider");
    Slider_Time = new QSlider(Qt::Horizontal, this);
    Slider_Time->setObjectName("Slider_Time");
    Slider_Time->setToolTip(
        "time [drag or click; Page Up/Down: 10 s; Home/End: start/end; Ctrl+G: go to time]");
    auto* style = new TJumpStyle;
    style->setParent(Slider_Time);
    Slider_Time->setStyle(style);
    Slider_Time->setSingleStep(1);
    Label_TimeTotal = new QLabel(this);
    Label_TimeTotal->setObjectName("Label_TimeTotal");
    Label_TimeTotal->setToolTip("simulated time when everybody is saved");
    // Room for "-999:59" so the slider does not jump as the time grows.
    const int width = Label_TimeNow->fontMetrics().horizontalAdvance("-9999:59");
    Label_TimeNow->setMinimumWidth(width);
    Label_TimeTotal->setMinimumWidth(width);
    layout->addWidget(Label_TimeNow);
    layout->addWidget(Slider_Time, 1);
    layout->addWidget(Label_TimeTotal);

    SendTimer_ = new QTimer(this);
    SendTimer_->setSingleShot(true);
    SendTimer_->setInterval(0);
    connect(SendTimer_, &QTimer::timeout, this, &TTimelineBar::SendPending);
    connect(Slider_Time, &QSlider::valueChanged, this, &TTimelineBar::UserMoved);
    connect(Slider_Time, &QSlider::sliderPressed, this, &TTimelineBar::DragStarted);
    connect(Slider_Time, &QSlider::sliderReleased, this, [this] {
        if (Slider_Time->value() != Known_) Pending_ = Slider_Time->value();
        SendPending();
        emit DragFinished();
    });
    Clear();
}

void TTimelineBar::SetTimeline(const TTimeline& timeline, int step) {
    Timeline_ = timeline;
    Pending_ = -1;
    SendTimer_->stop();
    {
        const QSignalBlocker block(Slider_Time);
        Slider_Time->setRange(0, std::max(Timeline_.End, 0));
        Slider_Time->setPageStep(Timeline_.PageSteps());
        Slider_Time->setValue(Timeline_.Clamp(step));
    }
    Known_ = Slider_Time->value();
    setEnabled(true);
    Label_TimeTotal->setText(QString::fromStdString(ClockText(Timeline_.SecondsAt(Timeline_.End))));
    ShowTimes();
}

void TTimelineBar::Clear() {
    SetTimeline(TTimeline{});
    setEnabled(false);
}

void TTimelineBar::SetStep(int step) {
    Known_ = step;
    if (Dragging()) return;
    {
        const QSignalBlocker block(Slider_Time);
        Slider_Time->setValue(Timeline_.Clamp(step));
    }
    ShowTimes();
}

int TTimelineBar::Step() const {
    return Slider_Time->value();
}

bool TTimelineBar::Dragging() const {
    return Slider_Time->isSliderDown();
}

void TTimelineBar::FrameDrawn() {
    if (Pending_ >= 0) SendPending();
}

void TTimelineBar::PageForward() {
    Slider_Time->triggerAction(QAbstractSlider::SliderPageStepAdd);
}

void TTimelineBar::PageBack() {
    Slider_Time->triggerAction(QAbstractSlider::SliderPageStepSub);
}

void TTimelineBar::GoToStart() {
    Slider_Time->triggerAction(QAbstractSlider::SliderToMinimum);
}

void TTimelineBar::GoToEnd() {
    Slider_Time->triggerAction(QAbstractSlider::SliderToMaximum);
}

void TTimelineBar::UserMoved(int step) {
    ShowTimes();
    Pending_ = step;
    if (!SendTimer_->isActive()) SendTimer_->start();
}

void TTimelineBar::SendPending() {
    SendTimer_->stop();
    const int step = Pending_;
    Pending_ = -1;
    if (step < 0 || step == Known_) return;
    Known_ = step;
    emit SeekRequested(step);
}

void TTimelineBar::ShowTimes() {
    Label_TimeNow->setText(
        QString::fromStdString(ClockText(Timeline_.SecondsAt(Slider_Time->value()))));
}

}  // namespace orlex
