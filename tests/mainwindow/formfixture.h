// The main window under test: its components found by their object names, one
// window at a time with settings and project files in temporary folders, and
// every message box recorded.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <memory>

#include "mainform.h"
#include "progressdialog.h"
#include "qtsupport.h"
#include "statistics.h"

namespace orlex::test {

// Three decks with the captions A (deck 0), B and C.
inline const QStringList kThreeDecks{"A", "B", "C"};

// The component of that class and name below parent; a missing one ends the test
// program, since every test that follows would only fail on it.
template <class T>
T* Part(const QObject& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

// The components of the main window that the tests use.
struct TMainFormUi {
    explicit TMainFormUi(const TMainForm& form)
        : File1(Part<QMenu>(form, "File1")),
          Views1(Part<QMenu>(form, "Views1")),
          Animation1(Part<QMenu>(form, "Animation1")),
          Settings1(Part<QMenu>(form, "Settings1")),
          Help1(Part<QMenu>(form, "Help1")),
          Singlescreenshot1(Part<QAction>(form, "Singlescreenshot1")),
          Screenshotseries1(Part<QAction>(form, "Screenshotseries1")),
          N1(Part<QAction>(form, "N1")),
          N4(Part<QAction>(form, "N4")),
          Zoomin1(Part<QAction>(form, "Zoomin1")),
          ShowOrigin(Part<QAction>(form, "ShowOrigin")),
          AddLight(Part<QAction>(form, "AddLight")),
          RemoveLight(Part<QAction>(form, "RemoveLight")),
          Options1(Part<QAction>(form, "Options1")),
          Statistics(Part<QAction>(form, "Statistics")),
          Help2(Part<QAction>(form, "Help2")),
          StartupWindow1(Part<QAction>(form, "StartupWindow1")),
          Panel1(Part<QToolBar>(form, "Panel1")),
          BitBtn1(Part<QToolButton>(*Panel1, "BitBtn1")),
          BitBtn2(Part<QToolButton>(*Panel1, "BitBtn2")),
          ComboBox1(Part<QComboBox>(*Panel1, "ComboBox1")),
          BitBtn_ResetToStart(Part<QToolButton>(*Panel1, "BitBtn_ResetToStart")),
          SpeedButton_PlayLoop(Part<QToolButton>(*Panel1, "SpeedButton_PlayLoop")),
          BitBtn_StepBack(Part<QToolButton>(*Panel1, "BitBtn_StepBack")),
          BitBtn_StepFore(Part<QToolButton>(*Panel1, "BitBtn_StepFore")),
          BitBtn_ScreenShotSingle(Part<QToolButton>(*Panel1, "BitBtn_ScreenShotSingle")),
          SpeedButton_ScreenShotSeries(Part<QToolButton>(*Panel1, "SpeedButton_ScreenShotSeries")),
          AnimationTimer(Part<QTimer>(form, "AnimationTimer")),
          FProgressDialog(Part<TFProgressDialog>(form, "FProgressDialog")),
          FStatistics(Part<TFStatistics>(form, "FStatistics")) {}

    QMenu *File1, *Views1, *Animation1, *Settings1, *Help1;
    QAction *Singlescreenshot1, *Screenshotseries1, *N1, *N4, *Zoomin1, *ShowOrigin, *AddLight,
        *RemoveLight, *Options1, *Statistics, *Help2, *StartupWindow1;
    QToolBar* Panel1;
    QToolButton *BitBtn1, *BitBtn2;
    QComboBox* ComboBox1;
    QToolButton *BitBtn_ResetToStart, *SpeedButton_PlayLoop, *BitBtn_StepBack, *BitBtn_StepFore,
        *BitBtn_ScreenShotSingle, *SpeedButton_ScreenShotSeries;
    QTimer* AnimationTimer;
    TFProgressDialog* FProgressDialog;
    TFStatistics* FStatistics;
};

// One main window at a time, for the test classes of the main window.
class TFormFixture {
protected:
    TTempSettings Settings_;
    QTemporaryDir Files_;
    TRecordingMessages Messages_;
    std::unique_ptr<TMainForm> Form_;
    std::unique_ptr<TMainFormUi> Ui_;

    TMainForm& NewForm() {
        DropForm();
        Messages_.Messages.clear();
        Form_ = std::make_unique<TMainForm>(&Messages_);
        Ui_ = std::make_unique<TMainFormUi>(*Form_);
        return *Form_;
    }
    TMainForm& Form() { return Form_ ? *Form_ : NewForm(); }
    void DropForm() {
        Ui_.reset();
        Form_.reset();
    }
    const TMainFormUi& Ui() const { return *Ui_; }

    QString Project(const QString& name, const QStringList& captions, int vmax,
                    const QStringList& tracks, int toff = 0) {
        return WriteFile(Files_.path(), name, ProjectText(captions, vmax, tracks, toff));
    }
    TMainForm& Loaded(const QString& path) {
        TMainForm& form = NewForm();
        form.LoadLogFile(path);
        return form;
    }
    QStringList DeckBoxItems() const {
        QStringList items;
        for (int i = 0; i < Ui_->ComboBox1->count(); ++i) items << Ui_->ComboBox1->itemText(i);
        return items;
    }
    QStringList RecentMenu() const {
        QStringList shown;
        for (QAction* item : Form_->OldFileItems) {
            if (item->isVisible()) shown << item->text();
        }
        return shown;
    }
};

}  // namespace orlex::test
