// The "Project Data" dialog: a read-only rich-text box that receives the
// project data report.
//
// Use (tool-bar button / Settings > "&Statistics..."):
//   ShowProjectData(*FStatistics, LogFileLoaded ? LogFile : nullptr);
#pragma once

#include <QDialog>
#include <QStringList>
#include <QTextCharFormat>

#include "interfaces.h"

class QPushButton;
class QTextEdit;
class QWidget;

namespace orlex {

class TLogFile1;

class TFStatistics : public QDialog, public IReport {
    Q_OBJECT

public:
    explicit TFStatistics(QWidget* parent = nullptr);

    QWidget* Panel1 = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "&Ok"
    QTextEdit* List = nullptr;       // the report; disabled, so it cannot be edited or focused

    // IReport
    void Clear() override;
    void SetBold(bool bold) override;
    // Adds one line; a "\n" inside the text starts further lines.
    void AddLine(const std::string& line) override;

    // The lines of the box and whether each is bold (for tests and tools).
    QStringList Lines() const;
    bool IsLineBold(int index) const;

private:
    QTextCharFormat format_;
    bool empty_ = true;
};

// Fills the dialog: the project's report when one is loaded, otherwise one
// more bold line "No 3D logfile loaded yet!" (earlier lines stay).
void FillProjectData(TFStatistics& dialog, const TLogFile1* loadedProject);
// FillProjectData, then shows the dialog modally.
void ShowProjectData(TFStatistics& dialog, const TLogFile1* loadedProject);

}  // namespace orlex
