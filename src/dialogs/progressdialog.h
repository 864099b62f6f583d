// The progress dialog that a load drives: an activity text and a bar from 0 to
// 100. The user cannot close it; only the command that showed it closes it.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <string>

#include "interfaces.h"

class QLabel;
class QProgressBar;

namespace orlex {

class TFProgressDialog : public QDialog, public IProgress {
    Q_OBJECT
public:
    explicit TFProgressDialog(QWidget* parent = nullptr);

    QLabel* ProgressInfo = nullptr;
    QProgressBar* ProgressBar = nullptr;

    // IProgress. SetPosition, Show and ProcessEvents are called for nearly every
    // line the loader reads, so they return at once when nothing is to be done.
    void SetInfo(const std::string& text) override;
    void SetPosition(int position) override;
    void Show() override;
    // Lets pending events run, at most EventsPerSecond times a second.
    void ProcessEvents() override;

    // Hides the dialog; the instance stays for the next load.
    void Close();
    // Shows the latest text and position now (done by ProcessEvents and Show).
    void Flush();

    int Position() const { return Position_; }
    // Times ProcessEvents actually let events run since construction.
    int EventRounds() const { return EventRounds_; }

    static constexpr int EventsPerSecond = 25;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

public slots:
    void reject() override;

private:
    void CentreOnParent();

    std::string Info_ = "...";
    bool InfoDirty_ = false;
    int Position_ = 0;
    int EventRounds_ = 0;
    bool Closing_ = false;
    QElapsedTimer SinceEvents_;
};

}  // namespace orlex
