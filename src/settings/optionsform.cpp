#include "optionsform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "appsettings.h"
#include "pathshortener.h"

namespace orlex {

namespace {

constexpr int kDirectoryCaptionWidth = 200;
const char* const kThisDirectory = "this directory:";

}  // namespace

TOptionsForm::TOptionsForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("OptionsForm");
    setWindowTitle("Options");

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    PageControl1->addTab(TabSheet1, "Screen Shots");

    CheckBox1 = new QCheckBox("Ask me before overwriting", TabSheet1);
    CheckBox1->setObjectName("CheckBox1");

    RadioGroup1 = new QGroupBox(" Save to: ", TabSheet1);
    RadioGroup1->setObjectName("RadioGroup1");
    RadioButton1 = new QRadioButton("the same directory as log file", RadioGroup1);
    RadioButton1->setObjectName("RadioButton1");
    RadioButton2 =
        new QRadioButton("an assigned directory (each time a screen shot is saved)", RadioGroup1);
    RadioButton2->setObjectName("RadioButton2");
    RadioButton3 = new QRadioButton(kThisDirectory, RadioGroup1);
    RadioButton3->setObjectName("RadioButton3");
    BitBtn7 = new QToolButton(RadioGroup1);
    BitBtn7->setObjectName("BitBtn7");
    BitBtn7->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    BitBtn7->setToolTip("choose screenshot directory");
    BitBtn7->setFixedSize(25, 21);
    auto* saveGroup = new QButtonGroup(this);
    saveGroup->addButton(RadioButton1, 1);
    saveGroup->addButton(RadioButton2, 2);
    saveGroup->addButton(RadioButton3, 3);
    RadioButton1->setChecked(true);
    {
        auto* v = new QVBoxLayout(RadioGroup1);
        v->setSpacing(4);
        v->addWidget(RadioButton1);
        v->addWidget(RadioButton2);
        auto* row = new QHBoxLayout;
        row->addWidget(RadioButton3, 1);
        row->addWidget(BitBtn7);
        v->addLayout(row);
    }

    GroupBox1 = new QGroupBox(" Resize: ", TabSheet1);
    GroupBox1->setObjectName("GroupBox1");
    RadioButton4 = new QRadioButton("by percentage", GroupBox1);
    RadioButton4->setObjectName("RadioButton4");
    TrackBar1 = new QSlider(Qt::Horizontal, GroupBox1);
    TrackBar1->setObjectName("TrackBar1");
    TrackBar1->setRange(0, 100);
    TrackBar1->setPageStep(10);
    TrackBar1->setSingleStep(1);
    TrackBar1->setTickInterval(5);
    TrackBar1->setTickPosition(QSlider::TicksAbove);
    TrackBar1->setFixedWidth(169);
    TrackBar1->setValue(100);
    Label1 = new QLabel("100%", GroupBox1);
    Label1->setObjectName("Label1");
    Label1->setMinimumWidth(QFontMetrics(Label1->font()).horizontalAdvance("100%") + 4);
    RadioButton5 = new QRadioButton("fixed width (/pixels)", GroupBox1);
    RadioButton5->setObjectName("RadioButton5");
    Edit1 = new QLineEdit("640", GroupBox1);
    Edit1->setObjectName("Edit1");
    Edit1->setFixedWidth(41);
    RadioButton6 = new QRadioButton("fixed height (/pixels)", GroupBox1);
    RadioButton6->setObjectName("RadioButton6");
    Edit2 = new QLineEdit("480", GroupBox1);
    Edit2->setObjectName("Edit2");
    Edit2->setFixedWidth(41);
    auto* resizeGroup = new QButtonGroup(this);
    resizeGroup->addButton(RadioButton4, 1);
    resizeGroup->addButton(RadioButton5, 2);
    resizeGroup->addButton(RadioButton6, 3);
    RadioButton4->setChecked(true);
    {
        auto* grid = new QGridLayout(GroupBox1);
        grid->addWidget(RadioButton4, 0, 0);
        auto* track = new QHBoxLayout;
        track->addWidget(TrackBar1);
        track->addWidget(Label1);
        track->addStretch(1);
        grid->addLayout(track, 0, 1);
        grid->addWidget(RadioButton5, 1, 0);
        grid->addWidget(Edit1, 1, 1, Qt::AlignLeft);
        grid->addWidget(RadioButton6, 2, 0);
        grid->addWidget(Edit2, 2, 1, Qt::AlignLeft);
        grid->setColumnStretch(1, 1);
    }

    {
        auto* page = new QVBoxLayout(TabSheet1);
        page->addWidget(CheckBox1);
        page->addWidget(RadioGroup1);
        page->addSpacing(8);
        page->addWidget(GroupBox1, 1);
    }

    BuildAnalysisPage();
    BuildViewPage();

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "&Ok", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "&Abort", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setAutoDefault(false);
    {
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(BitBtn2);
        buttons->addWidget(BitBtn1);
        auto* main = new QVBoxLayout(this);
        main->setContentsMargins(4, 4, 4, 4);
        main->addWidget(PageControl1, 1);
        main->addLayout(buttons);
    }

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn7, &QToolButton::clicked, this, [this] { BitBtn7Click(); });
    connect(RadioButton3, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton3Click();
    });
    connect(TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });
    Edit1->installEventFilter(this);
    Edit2->installEventFilter(this);

    ChooseDirectory = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, "Choose screen shot directory", start,
                                                 QFileDialog::ShowDirsOnly);
    };

    const QSize hint = sizeHint();
    setFixedSize(std::max(342, hint.width()), std::max(288, hint.height()));
}

void TOptionsForm::BuildAnalysisPage() {
    AnalysisPage = new QWidget;
    AnalysisPage->setObjectName("AnalysisPage");
    PageControl1->addTab(AnalysisPage, "Analysis");
    auto* form = new QFormLayout(AnalysisPage);
    const auto edit = [&](const char* name, const char* label, const char* tip) {
        auto* e = new QLineEdit(AnalysisPage);
        e->setObjectName(name);
        e->setToolTip(tip);
        e->setMaximumWidth(80);
        form->addRow(label, e);
        return e;
    };
    CellSizeEdit = edit("CellSizeEdit", "Cell size (m):", "0.05 to 5");
    WindowEdit = edit("WindowEdit", "Density window (cells):", "odd, 1 to 15");
    DensityLimitEdit =
        edit("DensityLimitEdit", "Density limit (persons/m\u00b2):", "above 0 up to 100");
    CongestionShareEdit =
        edit("CongestionShareEdit", "Congestion share of the duration:", "0 to 1");
    FlowWindowEdit = edit("FlowWindowEdit", "Flow window (s):", "1 to 600");
    SetAnalysisSettings({});
}

void TOptionsForm::SetAnalysisSettings(const TAnalysisSettings& settings) {
    const auto text = [](double v) {
        return QString::number(v, 'g', QLocale::FloatingPointShortest);
    };
    CellSizeEdit->setText(text(settings.CellSize));
    WindowEdit->setText(QString::number(settings.Window));
    DensityLimitEdit->setText(text(settings.DensityLimit));
    CongestionShareEdit->setText(text(settings.CongestionShare));
    FlowWindowEdit->setText(text(settings.FlowWindow));
}

std::optional<TAnalysisSettings> TOptionsForm::EnteredAnalysisSettings(QString* problem,
                                                                       QLineEdit** edit) const {
    const std::pair<TAnalysisSetting, QLineEdit*> edits[] = {
        {TAnalysisSetting::CellSize, CellSizeEdit},
        {TAnalysisSetting::Window, WindowEdit},
        {TAnalysisSetting::DensityLimit, DensityLimitEdit},
        {TAnalysisSetting::CongestionShare, CongestionShareEdit},
        {TAnalysisSetting::FlowWindow, FlowWindowEdit}};
    TAnalysisSettings settings;
    for (const auto& [setting, e] : edits) {
        if (auto message = ReadAnalysisSetting(setting, e->text(), settings)) {
            if (problem) *problem = *message;
            if (edit) *edit = e;
            return std::nullopt;
        }
    }
    return settings;
}

void TOptionsForm::BuildViewPage() {
    ViewPage = new QWidget;
    ViewPage->setObjectName("ViewPage");
    PageControl1->addTab(ViewPage, "View");
    auto* form = new QFormLayout(ViewPage);
    DeckSpacingEdit = new QLineEdit(ViewPage);
    DeckSpacingEdit->setObjectName("DeckSpacingEdit");
    DeckSpacingEdit->setToolTip(
        QStringLiteral("Distance between the floors with all decks on, %1 to %2 block heights")
            .arg(kMinDeckSpacing)
            .arg(kMaxDeckSpacing));
    DeckSpacingEdit->setMaximumWidth(80);
    form->addRow("Deck spacing (block heights):", DeckSpacingEdit);
    SetDeckSpacing(kDefaultDeckSpacingSetting);
}

void TOptionsForm::SetDeckSpacing(double blockHeights) {
    DeckSpacingEdit->setText(QString::number(blockHeights, 'g', QLocale::FloatingPointShortest));
}

std::optional<double> TOptionsForm::EnteredDeckSpacing(QString* problem) const {
    bool ok = false;
    const double value = DeckSpacingEdit->text().trimmed().toDouble(&ok);
    if (ok && value >= kMinDeckSpacing && value <= kMaxDeckSpacing) return value;
    if (problem) {
        *problem =
            QStringLiteral("The deck spacing should be a number from %1 to %2 block heights.")
                .arg(kMinDeckSpacing)
                .arg(kMaxDeckSpacing);
    }
    return std::nullopt;
}

bool TOptionsForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == Edit1) Edit1Click();
        if (watched == Edit2) Edit2Click();
    }
    return QDialog::eventFilter(watched, event);
}

QString TOptionsForm::ShortenDirectory(const QString& directory, int maxWidth,
                                       const std::function<int(const QString&)>& textWidth) {
    QString path = directory;
    // The chooser gives no trailing separator; drop one that a registry value may carry.
    while (path.size() > 1 && (path.endsWith('/') || path.endsWith('\\')) &&
           !(path.size() == 3 && path[1] == ':')) {
        path.chop(1);
    }
    const QChar sep = path.contains('\\') ? QChar('\\') : QChar('/');
    return ShortenPath(path, maxWidth, textWidth, sep);
}

QString TOptionsForm::DirectoryCaption(const QString& directory) const {
    const QFontMetrics fm(RadioButton3->font());
    return QStringLiteral("this directory: ") +
           ShortenDirectory(directory, kDirectoryCaptionWidth,
                            [&fm](const QString& s) { return fm.horizontalAdvance(s); });
}

int TOptionsForm::EditValue(const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? v : -1;
}

void TOptionsForm::ShowError(const QString& text) {
    if (messages_) {
        messages_->ShowMessage(text.toStdString(), "Error", TMsgIcon::Error, TMsgButtons::Ok);
    } else {
        QMessageBox::critical(this, "Error", text);
    }
}

void TOptionsForm::SetOptions(TOptions1* options) {
    EditedOptions = options;
    if (!options) return;
    CheckBox1->setChecked(options->IsOverwritingAsked);
    switch (options->ScreenShotSaveOption) {
        case kSaveNextToLogFile:
            RadioButton1->setChecked(true);
            break;
        case kSaveAskEachTime:
            RadioButton2->setChecked(true);
            break;
        default:
            ChosenDirectory = options->ScreenShotSaveDirectory;
            RadioButton3->setText(DirectoryCaption(ChosenDirectory));
            // Checking it when it was not checked runs its click handler, which
            // asks for a directory when none is known.
            RadioButton3->setChecked(true);
            break;
    }
    switch (options->ScreenShotResizeOption) {
        case 1:
            RadioButton4->setChecked(true);
            TrackBar1->setValue(options->ScreenShotResizeValue);  // clamped to 0..100
            TrackBar1Change();
            break;
        case 2:
            RadioButton5->setChecked(true);
            Edit1->setText(QString::number(options->ScreenShotResizeValue));
            break;
        case 3:
            RadioButton6->setChecked(true);
            Edit2->setText(QString::number(options->ScreenShotResizeValue));
            break;
        default:
            break;
    }
}

void TOptionsForm::ApplyOptions() {
    TOptions1* o = EditedOptions;
    if (!o) return;
    o->IsOverwritingAsked = CheckBox1->isChecked();
    if (RadioButton1->isChecked()) {
        o->ScreenShotSaveOption = kSaveNextToLogFile;
        o->ScreenShotSaveDirectory.clear();
    } else if (RadioButton2->isChecked()) {
        o->ScreenShotSaveOption = kSaveAskEachTime;
        o->ScreenShotSaveDirectory.clear();
    } else {
        o->ScreenShotSaveOption = kSaveToFixedDirectory;
        o->ScreenShotSaveDirectory = ChosenDirectory;
    }
    // An edit that does not hold a number (possible only without the Ok
    // checks) leaves the value as it was.
    if (RadioButton4->isChecked()) {
        o->ScreenShotResizeOption = 1;
        o->ScreenShotResizeValue = TrackBar1->value();
    } else if (RadioButton5->isChecked()) {
        o->ScreenShotResizeOption = 2;
        if (EditValue(Edit1->text()) >= 0) o->ScreenShotResizeValue = EditValue(Edit1->text());
    } else {
        o->ScreenShotResizeOption = 3;
        if (EditValue(Edit2->text()) >= 0) o->ScreenShotResizeValue = EditValue(Edit2->text());
    }
    EditedOptions = nullptr;
}

void TOptionsForm::BitBtn1Click() {
    bool ok = true;
    QString message;
    if (RadioButton3->isChecked() && ChosenDirectory.isEmpty()) {
        message = "Please choose a directory in which you want to save the screen shots.";
        PageControl1->setCurrentWidget(TabSheet1);
        ok = false;
    }
    if (RadioButton5->isChecked()) {
        const int v = EditValue(Edit1->text());
        const int w = mainClientSize_.width();
        if (v < 0 || v > w) {
            message = QStringLiteral(
                          "The width of the screen shot should be inbetween 0\n(which of course "
                          "makes no sense) and the width of your application\nwindow (currently "
                          "%1 pixels).")
                          .arg(w);
            PageControl1->setCurrentWidget(TabSheet1);
            ok = false;
        }
    }
    if (RadioButton6->isChecked()) {
        const int v = EditValue(Edit2->text());
        const int h = mainClientSize_.height() - 40;
        if (v < 0 || v > h) {
            message = QStringLiteral(
                          "The height of the screen shot should be inbetween 0\n(which of course "
                          "makes no sense) and the height of your application\nwindow (currently "
                          "%1 pixels).")
                          .arg(h);
            PageControl1->setCurrentWidget(TabSheet1);
            ok = false;
        }
    }
    QLineEdit* badEdit = nullptr;
    if (ok && !EnteredAnalysisSettings(&message, &badEdit)) {
        PageControl1->setCurrentWidget(AnalysisPage);
        badEdit->setFocus();
        badEdit->selectAll();
        ok = false;
    }
    if (ok && !EnteredDeckSpacing(&message)) {
        PageControl1->setCurrentWidget(ViewPage);
        DeckSpacingEdit->setFocus();
        DeckSpacingEdit->selectAll();
        ok = false;
    }
    if (ok) {
        accept();
    } else {
        ShowError(message);
    }
}

void TOptionsForm::DirectoryChosen(const QString& directory) {
    ChosenDirectory = directory;
    RadioButton3->setText(DirectoryCaption(ChosenDirectory));
    RadioButton3->setChecked(true);
}

void TOptionsForm::BitBtn7Click() {
    const QString chosen = ChooseDirectory ? ChooseDirectory(ChosenDirectory) : QString();
    if (!chosen.isEmpty()) {
        DirectoryChosen(chosen);
    } else {
        RadioButton1->setChecked(true);
    }
}

void TOptionsForm::RadioButton3Click() {
    if (ChosenDirectory.isEmpty()) BitBtn7Click();
}

void TOptionsForm::TrackBar1Change() {
    Label1->setText(QString::number(TrackBar1->value()) + "%");
}

void TOptionsForm::Edit1Click() {
    RadioButton5->setChecked(true);
}

void TOptionsForm::Edit2Click() {
    RadioButton6->setChecked(true);
}

bool RunOptionsDialog(TOptionsForm& form, TOptions1& options, const QSize& mainClientSize) {
    form.SetMainClientSize(mainClientSize);
    form.SetOptions(&options);
    if (form.exec() == QDialog::Accepted) {
        form.ApplyOptions();
        return true;
    }
    form.EditedOptions = nullptr;
    return false;
}

}  // namespace orlex
