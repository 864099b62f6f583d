// Opening projects: the Load dialog, the recent-projects list, dropped files and
// the load procedure.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

#include "cellview3d.h"
#include "mainform.h"
#include "progressdialog.h"
#include "speedbox.h"
#include "timelinebar.h"

namespace orlex {

namespace {

// Splits at the last path separator or drive colon; the directory keeps its separator.
void SplitPath(const QString& path, QString& dir, QString& name) {
    qsizetype cut = -1;
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        const QChar c = path.at(i);
        if (c == u'/' || c == u'\\' || c == u':') {
            cut = i;
            break;
        }
    }
    dir = path.left(cut + 1);
    name = path.mid(cut + 1);
}

bool IsLogFilePath(const QString& path) {
    return path.endsWith(".3dl", Qt::CaseInsensitive);
}

}  // namespace

QString TMainForm::DefaultChooseLogFile(const QString& dir, const QString& name) {
    QFileDialog dialog(this, "Load Log File", dir, "3D log file (*.3dl)");
    dialog.setObjectName("OpenDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The name of a file that does not exist is accepted too; the caller says so.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix("3dl");
    if (!name.isEmpty()) dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void TMainForm::BitBtn1Click() {
    if (Loading_) return;
    QString dir;
    QString name;
    SplitPath(Settings_.LogDir(), dir, name);
    const QString path = ChooseLogFile ? ChooseLogFile(dir, name) : QString();
    if (path.isEmpty()) return;
    if (!QFileInfo(path).isFile()) {
        ShowCannotOpen(path);
        return;
    }
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    Settings_.SetLogDir(fullPath);
    AddToLastProjects(fullPath);
    LoadLogFile(fullPath);
}

void TMainForm::OpenRecent(QAction* item) {
    if (Loading_) return;
    for (std::size_t k = 0; k < OldFileItems.size(); ++k) {
        if (OldFileItems[k] != item) continue;
        const QString path = LastProjects[k];
        if (path.isEmpty()) return;
        if (QFileInfo(path).isFile()) {
            LoadLogFile(path);
        } else {
            ShowCannotOpen(path);
        }
        return;
    }
}

void TMainForm::OpenDroppedFile(const QString& path) {
    if (Loading_ || Closed_) return;
    if (QFileInfo(path).isFile() && import::NeedsImport(path.toStdString(), {})) {
        ImportTrajectories(path);
    } else if (QFileInfo(path).isFile()) {
        LoadLogFile(path);
    } else {
        ShowCannotOpen(path);
    }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (!Loading_ && mime != nullptr && mime->hasUrls() && mime->urls().size() == 1 &&
        mime->urls().constFirst().isLocalFile() &&
        (IsLogFilePath(mime->urls().constFirst().toLocalFile()) ||
         import::NeedsImport(mime->urls().constFirst().toLocalFile().toStdString(), {}))) {
        event->acceptProposedAction();
    }
}

void TMainForm::dropEvent(QDropEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (mime == nullptr || !mime->hasUrls() || mime->urls().isEmpty()) return;
    const QString path = mime->urls().constFirst().toLocalFile();
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    // Loaded after the drop has been answered, so the source is not kept waiting.
    QMetaObject::invokeMethod(
        this, [this, path] { OpenDroppedFile(path); }, Qt::QueuedConnection);
}

void TMainForm::ShowCannotOpen(const QString& path) {
    Messages_->ShowMessage(("Cannot open file:\n" + path).toStdString(), "Error", TMsgIcon::Error,
                           TMsgButtons::Ok);
}

void TMainForm::AddToLastProjects(const QString& path) {
    const int size = static_cast<int>(LastProjects.size());
    int found = size - 1;  // not found: the oldest entry drops out
    for (int i = 0; i < size; ++i) {
        if (LastProjects[i] == path) {
            found = i;
            break;
        }
    }
    for (int i = found; i > 0; --i) LastProjects[i] = LastProjects[i - 1];
    LastProjects[0] = path;

    QStringList stored;
    for (const QString& entry : LastProjects) {
        if (!entry.isEmpty()) stored << entry;
    }
    Settings_.SetLastProjects(stored);
    ShowLastProjects();
}

void TMainForm::ShowLastProjects() {
    bool any = false;
    for (std::size_t k = 0; k < LastProjects.size(); ++k) {
        if (LastProjects[k].isEmpty()) continue;
        any = true;
        // "&&" keeps an ampersand of the path from becoming an accelerator.
        QString shown = LastProjects[k];
        shown.replace("&", "&&");
        OldFileItems[k]->setText(QString("&%1 ").arg(k + 1) + shown);
        OldFileItems[k]->setVisible(true);
    }
    if (any) N1->setVisible(true);
}

void TMainForm::EnableControls(bool enabled) {
    ControlsEnabled_ = enabled;
    // The items themselves are switched too: a disabled menu's shortcuts must do nothing.
    for (QMenu* menu : {File1, Views1, Animation1, Settings1}) {
        menu->menuAction()->setEnabled(enabled);
        menu->setEnabled(enabled);
        for (QAction* item : menu->actions()) {
            if (item->isSeparator()) continue;
            bool allowed = enabled;
            if (item == AddLight) allowed = enabled && AddLightAllowed_;
            if (item == RemoveLight) allowed = enabled && RemoveLightAllowed_;
            item->setEnabled(allowed);
        }
    }
    for (QToolButton* button :
         {BitBtn1, BitBtn2, BitBtn_ResetToStart, SpeedButton_PlayLoop, BitBtn_StepBack,
          BitBtn_StepFore, BitBtn_ScreenShotSingle, SpeedButton_ScreenShotSeries}) {
        button->defaultAction()->setEnabled(enabled);
        button->setEnabled(enabled);
    }
    ComboBox1->setEnabled(enabled);
    SpeedBox->setEnabled(enabled);
    TimelineBar->setEnabled(enabled && HasProject());
    for (QAction* item : {GoToTime1, PageForward1, PageBack1, GoToStart1, GoToEnd1, Follow1,
                          ClearPick1, AllTrails1})
        item->setEnabled(enabled);
    if (CellView3D != nullptr) CellView3D->IsControlEnabled = enabled;
}

int TMainForm::DeckCount() const {
    return LogFile != nullptr ? LogFile->DeckCount() : 0;
}

void TMainForm::LoadLogFile(const QString& path, const import::TImportOptions* importing) {
    if (Loading_ || Closed_) return;
    // A file that cannot be read leaves everything as it is, whoever asked for it.
    {
        QFile probe(path);
        if (!QFileInfo(path).isFile() || !probe.open(QIODevice::ReadOnly)) {
            ShowCannotOpen(path);
            return;
        }
    }

    SetStatusText(3, "Loading " + ShortPath(path));
    EnableControls(false);
    StopAnimation();
    Loading_ = true;

    bool cursorSet = false;
    auto finish = [&] {
        if (cursorSet) QApplication::restoreOverrideCursor();
        cursorSet = false;
        if (FProgressDialog != nullptr) FProgressDialog->Close();
        Loading_ = false;
        SetStatusText(3, " ");
        EnableControls(true);
    };

    try {
        if (FProgressDialog != nullptr) {
            FProgressDialog->SetInfo("Loading logfile...");
            FProgressDialog->Show();
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        cursorSet = true;
        QCoreApplication::processEvents();

        // The earlier project goes before the next one is made.
        TLogFile1& project = Session_.Create("Deck");

        TNullProgress noProgress;
        IProgress& progress =
            FProgressDialog != nullptr ? static_cast<IProgress&>(*FProgressDialog) : noProgress;
        const bool loaded =
            importing != nullptr
                ? import::OpenProject(path.toStdString(), *importing, project, progress, *Messages_)
                : project.LoadFromFile(path.toStdString(), progress, *Messages_);
        if (loaded) {
            setWindowTitle(AppTitle + ", " + path);
        } else {
            // The earlier project is gone: the caption names no file any more.
            setWindowTitle(AppTitle);
        }
        QCoreApplication::processEvents();

        const int decks = project.DeckCount();
        CellView3D->InitView(project.XMax, project.YMax, decks, project.PersonCount());
        CellView3D->SetDecks(project.DeckData());
        CellView3D->SetPersons(project.PersonData());
        CellView3D->SetCurrentDeck(0);
        Session_.StartPlayback();
        StartTimeNavigation();
        Loading_ = false;  // the project is complete from here on
        LoadMeasures(loaded ? path : QString());
        StartAnalysis();  // with the measurements

        UpdateLightsStatus();
        SetStatusText(1, QString::fromStdString(TPlayback::TimeText(0)));
        SetStatusText(2, QString::fromStdString(TPlayback::SavedText(0)));

        ComboBox1->clear();
        for (int i = decks - 1; i >= 0; --i) {
            ComboBox1->addItem(QString::fromStdString(project.GetDeckCaption(i)));
        }
        ComboBox1->setCurrentIndex(decks - 1);
    } catch (...) {
        // A half-built project is never shown: it goes, the caption names no file,
        // and the window is usable again.
        ReleaseProject();
        setWindowTitle(AppTitle);
        ComboBox1->clear();
        finish();
        throw;
    }
    finish();
    QCoreApplication::processEvents();

    if (CloseAfterLoad_) {
        CloseAfterLoad_ = false;
        close();
    }
}

}  // namespace orlex
