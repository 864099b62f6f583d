#include "exportvideoform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orlex {

namespace {

constexpr int kSpeeds[] = {1, 2, 5, 10, 20};
constexpr int kDefaultSpeedIndex = 2;

int EvenDown(int n) {
    return n - n % 2;
}

}  // namespace

QString VideoFileName(const QString& project, const QString& deck) {
    static const QRegularExpression others(QStringLiteral("[^a-z0-9]+"));
    QString name = (project + '-' + deck).toLower();
    name.replace(others, QStringLiteral("-"));
    while (name.startsWith('-')) name.remove(0, 1);
    while (name.endsWith('-')) name.chop(1);
    return (name.isEmpty() ? QStringLiteral("evacuation") : name) + QStringLiteral(".mp4");
}

TExportVideoForm::TExportVideoForm(IMessages& messages, QWidget* parent)
    : QDialog(parent), Messages_(messages) {
    setObjectName("ExportVideoForm");
    setWindowTitle("Export video");
    auto* form = new QFormLayout;
    auto timeEdit = [this](const char* name) {
        auto* edit = new QDoubleSpinBox(this);
        edit->setObjectName(name);
        edit->setDecimals(2);
        edit->setSuffix(" s");
        edit->setRange(-1e7, 1e7);
        return edit;
    };
    FromEdit = timeEdit("FromEdit");
    ToEdit = timeEdit("ToEdit");
    form->addRow("Fro&m time:", FromEdit);
    form->addRow("&To time:", ToEdit);
    DeckBox = new QComboBox(this);
    DeckBox->setObjectName("DeckBox");
    form->addRow("&Deck:", DeckBox);
    FpsEdit = new QSpinBox(this);
    FpsEdit->setObjectName("FpsEdit");
    FpsEdit->setRange(10, 60);
    FpsEdit->setValue(25);
    FpsEdit->setSuffix(" frames/s");
    form->addRow("Frame &rate:", FpsEdit);
    SpeedBox = new QComboBox(this);
    SpeedBox->setObjectName("SpeedBox");
    for (int s : kSpeeds) SpeedBox->addItem(QString("%1 s per second").arg(s), s);
    SpeedBox->setCurrentIndex(kDefaultSpeedIndex);
    form->addRow("&Speed:", SpeedBox);
    SizeBox = new QComboBox(this);
    SizeBox->setObjectName("SizeBox");
    form->addRow("Si&ze:", SizeBox);
    FileEdit = new QLineEdit(this);
    FileEdit->setObjectName("FileEdit");
    BrowseButton = new QPushButton("&Browse...", this);
    BrowseButton->setObjectName("BrowseButton");
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(FileEdit, 1);
    fileRow->addWidget(BrowseButton);
    form->addRow("&File:", fileRow);
    CaptionBox = new QCheckBox("C&aption band: time, deck and legend", this);
    CaptionBox->setObjectName("CaptionBox");
    CaptionBox->setChecked(true);
    form->addRow(QString(), CaptionBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    OkButton = buttons->button(QDialogButtonBox::Ok);
    OkButton->setObjectName("OkButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &TExportVideoForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TExportVideoForm::reject);
    connect(BrowseButton, &QPushButton::clicked, this, &TExportVideoForm::Browse);
    connect(DeckBox, &QComboBox::currentIndexChanged, this, &TExportVideoForm::SuggestFile);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    ChooseFile = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, "Export video", suggested, "MP4 video (*.mp4)");
    };
}

void TExportVideoForm::Setup(const TVideoChoices& choices) {
    Choices_ = choices;
    FromEdit->setValue(choices.Start);
    ToEdit->setValue(choices.End);
    DeckBox->clear();
    for (int i = 0; i < choices.Decks.size(); ++i) DeckBox->addItem(choices.Decks[i], i);
    if (choices.PersonPicked)
        DeckBox->addItem("Follow the picked person", TVideoRequest::kFollowPicked);
    DeckBox->setCurrentIndex(qBound(0, choices.CurrentDeck, qMax(0, DeckBox->count() - 1)));
    SizeBox->clear();
    const int w = qMax(16, EvenDown(choices.ViewWidth));
    const int h = qMax(16, EvenDown(choices.ViewHeight));
    SizeBox->addItem(QString("The view's size (%1 x %2)").arg(w).arg(h), QSize(w, h));
    SizeBox->addItem("1280 x 720", QSize(1280, 720));
    SizeBox->addItem("1920 x 1080", QSize(1920, 1080));
    SuggestFile();
}

void TExportVideoForm::SuggestFile() {
    if (!FileEdit->text().isEmpty() && FileEdit->text() != Suggested_) return;
    const QDir folder(Choices_.Folder.isEmpty() ? QDir::homePath() : Choices_.Folder);
    Suggested_ = folder.filePath(VideoFileName(Choices_.Project, DeckBox->currentText()));
    FileEdit->setText(Suggested_);
}

void TExportVideoForm::Browse() {
    const QString chosen = ChooseFile ? ChooseFile(FileEdit->text()) : QString();
    if (!chosen.isEmpty()) FileEdit->setText(chosen);
}

void TExportVideoForm::accept() {
    auto refuse = [this](const QString& text) {
        Messages_.ShowMessage(text.toStdString(), "Error", TMsgIcon::Error, TMsgButtons::Ok);
    };
    TVideoRequest request;
    request.Times = {FromEdit->value(), ToEdit->value(),
                     static_cast<double>(SpeedBox->currentData().toInt()), FpsEdit->value()};
    if (const std::string why = CheckVideoTimes(request.Times); !why.empty())
        return refuse(QString::fromStdString(why));
    QString path = FileEdit->text().trimmed();
    if (path.isEmpty()) return refuse("Please choose the file of the video.");
    if (!path.endsWith(".mp4", Qt::CaseInsensitive)) path += ".mp4";
    const QFileInfo info(path);
    if (info.isDir()) return refuse(QString("The name is a folder:\n%1").arg(path));
    if (!info.absoluteDir().exists())
        return refuse(QString("The folder does not exist:\n%1").arg(info.absolutePath()));
    request.Path = info.absoluteFilePath();
    request.Deck = DeckBox->currentData().toInt();
    const QSize size = SizeBox->currentData().toSize();
    request.Width = size.width();
    request.Height = size.height();
    request.Caption = CaptionBox->isChecked();
    Request_ = request;
    QDialog::accept();
}

}  // namespace orlex
