#include "speedbox.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QToolButton>

namespace orlex {

TSpeedBox::TSpeedBox(QWidget* parent) : QWidget(parent) {
    setObjectName("SpeedBox");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    ComboBox_Speed = new QComboBox(this);
    ComboBox_Speed->setObjectName("ComboBox_Speed");
    ComboBox_Speed->setToolTip("playback speed: simulated seconds per real second");
    for (double speed : Speeds()) ComboBox_Speed->addItem(SpeedText(speed), speed);

    KeepSpeed1 = new QAction("Keep speed", this);
    KeepSpeed1->setObjectName("KeepSpeed1");
    KeepSpeed1->setCheckable(true);
    KeepSpeed1->setChecked(false);
    KeepSpeed1->setToolTip(
        "keep speed: when drawing is slower than the timer, take several steps per frame");
    ToolButton_KeepSpeed = new QToolButton(this);
    ToolButton_KeepSpeed->setObjectName("ToolButton_KeepSpeed");
    ToolButton_KeepSpeed->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolButton_KeepSpeed->setDefaultAction(KeepSpeed1);

    layout->addWidget(ComboBox_Speed);
    layout->addWidget(ToolButton_KeepSpeed);

    SetSpeed(5);
    connect(ComboBox_Speed, &QComboBox::currentIndexChanged, this, [this] {
        RestartPacing();
        emit SpeedChanged(Speed());
    });
    connect(KeepSpeed1, &QAction::toggled, this, [this](bool on) {
        RestartPacing();
        emit KeepSpeedToggled(on);
    });
}

const std::vector<double>& TSpeedBox::Speeds() {
    static const std::vector<double> speeds{0.25, 0.5, 1, 2, 5, 10, 20, 50, 100};
    return speeds;
}

QString TSpeedBox::SpeedText(double speed) {
    return QString::number(speed, 'g', 6) + QChar(0x00D7);
}

void TSpeedBox::SetSpeed(double speed) {
    if (!(speed > 0.0)) speed = 5.0;
    const QSignalBlocker block(ComboBox_Speed);
    int at = 0;
    while (at < ComboBox_Speed->count() && ComboBox_Speed->itemData(at).toDouble() < speed) ++at;
    if (at == ComboBox_Speed->count() || ComboBox_Speed->itemData(at).toDouble() != speed)
        ComboBox_Speed->insertItem(at, SpeedText(speed), speed);
    ComboBox_Speed->setCurrentIndex(at);
    RestartPacing();
}

double TSpeedBox::Speed() const {
    return ComboBox_Speed->currentData().toDouble();
}

bool TSpeedBox::KeepSpeed() const {
    return KeepSpeed1->isChecked();
}

int TSpeedBox::Interval(int vmax) const {
    return AnimationInterval(Speed(), vmax);
}

int TSpeedBox::StepsForTick(int vmax, bool seriesRunning) {
    const double elapsed = Clock_.isValid() ? Clock_.nsecsElapsed() / 1e9 : 0.0;
    Clock_.start();
    return StepsForTick(vmax, seriesRunning, elapsed);
}

int TSpeedBox::StepsForTick(int vmax, bool seriesRunning, double elapsedSeconds) {
    if (!KeepSpeed() || seriesRunning) return 1;
    return Pacer_.StepsFor(Speed(), vmax, elapsedSeconds);
}

void TSpeedBox::RestartPacing() {
    Pacer_.Reset();
    Clock_.start();
}

}  // namespace orlex
