// The options dialog: where screen shots go, whether overwriting is asked,
// and how shots are resized.
//
// Use (Settings > "&Options..."):
//   form.SetMainClientSize(clientSizeOfMainWindow);
//   RunOptionsDialog(form, Options, clientSize);  // SetOptions, exec, ApplyOptions on OK
// End a running screen-shot series before (TScreenShots::EndSeries).
#pragma once

#include <QDialog>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

#include "interfaces.h"
#include "options1.h"
#include "settings.h"

class QButtonGroup;
class QCheckBox;
class QFontMetrics;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QToolButton;

namespace orlex {

class TOptionsForm : public QDialog {
    Q_OBJECT

public:
    explicit TOptionsForm(QWidget* parent = nullptr);

    // Controls (public so that the main window and tests can reach them).
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;  // "Screen Shots"
    QCheckBox* CheckBox1 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // the same directory as log file
    QRadioButton* RadioButton2 = nullptr;  // an assigned directory (each time)
    QRadioButton* RadioButton3 = nullptr;  // this directory:
    QToolButton* BitBtn7 = nullptr;        // choose screenshot directory
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton4 = nullptr;  // by percentage
    QSlider* TrackBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QRadioButton* RadioButton5 = nullptr;  // fixed width
    QLineEdit* Edit1 = nullptr;
    QRadioButton* RadioButton6 = nullptr;  // fixed height
    QLineEdit* Edit2 = nullptr;
    // The "Analysis" page: cell size, window, density limit, congestion share.
    QWidget* AnalysisPage = nullptr;
    QLineEdit* CellSizeEdit = nullptr;
    QLineEdit* WindowEdit = nullptr;
    QLineEdit* DensityLimitEdit = nullptr;
    QLineEdit* CongestionShareEdit = nullptr;
    QLineEdit* FlowWindowEdit = nullptr;
    // The "View" page: the spacing of the decks with all decks on.
    QWidget* ViewPage = nullptr;
    QLineEdit* DeckSpacingEdit = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "&Ok"
    QPushButton* BitBtn2 = nullptr;  // "&Abort"

    // The directory of save option 3 as known to the dialog.
    QString ChosenDirectory;
    // The record being edited (borrowed), set by SetOptions, cleared by ApplyOptions.
    TOptions1* EditedOptions = nullptr;

    // The directory chooser: given the start directory, returns the chosen one
    // or "" when cancelled. Defaults to the platform's folder dialog (which can
    // create folders); tests replace it.
    std::function<QString(const QString& startDir)> ChooseDirectory;

    // Where the Ok checks' messages go (borrowed; null: built-in message boxes).
    void SetMessages(IMessages* messages) { messages_ = messages; }
    // Client size of the main window; bounds the fixed width and height.
    void SetMainClientSize(const QSize& size) { mainClientSize_ = size; }
    QSize MainClientSize() const { return mainClientSize_; }

    // Remembers the record and shows its values.
    void SetOptions(TOptions1* options);
    // Writes the controls back into the record and forgets it.
    void ApplyOptions();

    // Shows the analysis settings in the "Analysis" page.
    void SetAnalysisSettings(const TAnalysisSettings& settings);
    // The settings as entered; the first edit that holds no number in range gives
    // its message instead (in the order of the page).
    std::optional<TAnalysisSettings> EnteredAnalysisSettings(QString* problem = nullptr,
                                                             QLineEdit** edit = nullptr) const;

    // Shows the deck spacing (block heights) in the "View" page.
    void SetDeckSpacing(double blockHeights);
    // The deck spacing as entered; a text that is no number from kMinDeckSpacing
    // to kMaxDeckSpacing gives its message instead.
    std::optional<double> EnteredDeckSpacing(QString* problem = nullptr) const;

    // Handlers.
    void BitBtn1Click();  // Ok: checks, then accepts or shows the message
    void BitBtn7Click();  // directory button
    void RadioButton3Click();
    void TrackBar1Change();
    void Edit1Click();
    void Edit2Click();

    // Shortens a directory to fit maxWidth by cutting leading components:
    // C:\a\b\shots -> C:\...\b\shots -> C:\...\shots -> ...\shots -> shots.
    static QString ShortenDirectory(const QString& directory, int maxWidth,
                                    const std::function<int(const QString&)>& textWidth);
    // The caption of RadioButton3 for a directory (shortened to 200 pixels).
    QString DirectoryCaption(const QString& directory) const;

    // Parses an edit's text: the whole number, or -1 when it is not one.
    static int EditValue(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildAnalysisPage();
    void BuildViewPage();
    void ShowError(const QString& text);
    void DirectoryChosen(const QString& directory);

    IMessages* messages_ = nullptr;
    QSize mainClientSize_;
};

// Shows the dialog for options: SetOptions, modal showing, ApplyOptions when
// it ends with OK. Returns whether the options were applied.
bool RunOptionsDialog(TOptionsForm& form, TOptions1& options, const QSize& mainClientSize);

}  // namespace orlex
