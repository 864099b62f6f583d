// The "Export video" dialog: time range, deck, frame rate, speed, size, file and
// the caption band.
//
// Use (File > "Export video...", Ctrl+E):
//   TExportVideoForm form(messages, window);
//   form.Setup(choices);
//   if (form.exec() == QDialog::Accepted) run the export of form.Request();
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

#include "interfaces.h"
#include "videoplan.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace orlex {

// What the dialog offers, taken from the project and the window.
struct TVideoChoices {
    double Start = 0;  // shown time of step 0 (the time offset)
    double End = 0;    // shown time at which everybody is saved
    QStringList Decks;
    int CurrentDeck = 0;
    bool PersonPicked = false;  // offers "follow the picked person"
    int ViewWidth = 640;
    int ViewHeight = 480;
    QString Folder;   // where the file goes by default
    QString Project;  // the project's name, the start of the file's name
};

// The file name offered for a video of project on deck: both in lower case, each
// run of other characters than letters and digits as one "-", with ".mp4"
// ("ship", "Deck 2 - Muster stations": "ship-deck-2-muster-stations.mp4").
QString VideoFileName(const QString& project, const QString& deck);

struct TVideoRequest {
    QString Path;
    TVideoTimes Times;
    int Deck = 0;  // kFollowPicked to follow the picked person
    int Width = 1280;
    int Height = 720;
    bool Caption = true;  // the band with the time, the deck and the legend
    static constexpr int kFollowPicked = -1;
};

class TExportVideoForm : public QDialog {
    Q_OBJECT

public:
    explicit TExportVideoForm(IMessages& messages, QWidget* parent = nullptr);

    void Setup(const TVideoChoices& choices);
    // The request of the accepted dialog.
    const TVideoRequest& Request() const { return Request_; }
    // Asks for the file name; the save dialog unless replaced (tests).
    std::function<QString(const QString& suggested)> ChooseFile;

    QDoubleSpinBox* FromEdit = nullptr;
    QDoubleSpinBox* ToEdit = nullptr;
    QComboBox* DeckBox = nullptr;
    QSpinBox* FpsEdit = nullptr;
    QComboBox* SpeedBox = nullptr;
    QComboBox* SizeBox = nullptr;
    QLineEdit* FileEdit = nullptr;
    QPushButton* BrowseButton = nullptr;
    QCheckBox* CaptionBox = nullptr;
    QPushButton* OkButton = nullptr;

    void accept() override;

private:
    void Browse();
    // Names the file after the deck chosen, unless the user named it.
    void SuggestFile();

    IMessages& Messages_;
    TVideoChoices Choices_;
    TVideoRequest Request_;
    QString Suggested_;  // the path offered last
};

}  // namespace orlex
