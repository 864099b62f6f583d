// The main window: start-up state, loading, the recent list, settings, playback,
// deck and view commands.
#include <QtTest/qtestspontaneevent.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "cellview3d.h"
#include "mainform.h"
#include "progressdialog.h"
#include "testsupport.h"

using namespace orlex;
using namespace orlex::test;

namespace {

const QStringList kThreeDecks{"A", "B", "C"};

// Records the window's state whenever the progress dialog is shown by the load.
class TLoadObserver : public QObject {
public:
    explicit TLoadObserver(TMainForm& form) : Form_(form) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !Seen) {
            Seen = true;
            FileMenu = Form_.File1->isEnabled();
            ViewsMenu = Form_.Views1->menuAction()->isEnabled();
            AnimationMenu = Form_.Animation1->menuAction()->isEnabled();
            SettingsMenu = Form_.Settings1->menuAction()->isEnabled();
            HelpMenu = Form_.Help1->menuAction()->isEnabled();
            LoadButton = Form_.BitBtn1->isEnabled();
            PlayButton = Form_.SpeedButton_PlayLoop->isEnabled();
            DeckBox = Form_.ComboBox1->isEnabled();
            ViewMouse = Form_.CellView3D->IsControlEnabled;
            Loading = Form_.IsLoading();
        }
        return QObject::eventFilter(watched, event);
    }
    bool Seen = false;
    bool FileMenu = true, ViewsMenu = true, AnimationMenu = true, SettingsMenu = true;
    bool HelpMenu = false, LoadButton = true, PlayButton = true, DeckBox = true;
    bool ViewMouse = true, Loading = false;

private:
    TMainForm& Form_;
};

}  // namespace

class TestMainForm : public QObject {
    Q_OBJECT

    QTemporaryDir SettingsDir_;
    QTemporaryDir Files_;
    TRecordingMessages Messages_;
    std::unique_ptr<TMainForm> Form_;

    TMainForm& NewForm() {
        Form_.reset();
        Messages_.Shown.clear();
        Form_ = std::make_unique<TMainForm>(&Messages_);
        return *Form_;
    }
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
        for (int i = 0; i < Form_->ComboBox1->count(); ++i) items << Form_->ComboBox1->itemText(i);
        return items;
    }
    QStringList RecentMenu() const {
        QStringList shown;
        for (QAction* item : Form_->OldFileItems) {
            if (item->isVisible()) shown << item->text();
        }
        return shown;
    }

private slots:
    void initTestCase() {
        QVERIFY(SettingsDir_.isValid());
        QVERIFY(Files_.isValid());
        UseSettingsFolder(SettingsDir_.path());
    }
    void init() { ClearSettings(); }
    void cleanup() { Form_.reset(); }

    void StartUpState() {
        TMainForm& form = NewForm();
        QCOMPARE(form.windowTitle(), QString("ORLEX Viewer"));
        QCOMPARE(form.StatusText(0), QString("Lights:"));
        QCOMPARE(form.StatusText(1), QString("Time: 0:00 min"));
        QCOMPARE(form.StatusText(2), QString("Saved: 0"));
        QCOMPARE(form.StatusText(3), QString());
        QCOMPARE(DeckBoxItems(), QStringList{"---"});
        QCOMPARE(form.ComboBox1->currentIndex(), 0);
        QVERIFY(form.ShowOrigin->isChecked());
        QVERIFY(!form.LogFileLoaded);
        QVERIFY(!form.AnimationTimer->isActive());
        QVERIFY(!form.SpeedButton_PlayLoop->isChecked());
        QVERIFY(!form.SpeedButton_ScreenShotSeries->isChecked());
        QVERIFY(!form.CellView3D->IsControlEnabled);
        QVERIFY(!form.N1->isVisible());
        QVERIFY(form.N4->isVisible());
        QVERIFY(form.AddLight->isEnabled() && form.RemoveLight->isEnabled());
        QVERIFY(form.FProgressDialog != nullptr && !form.FProgressDialog->isVisible());
        // Without a project the project commands do nothing.
        form.Run1Click();
        form.Forward1Click();
        form.Deckup1Click();
        form.AddLightClick();
        QVERIFY(!form.AnimationTimer->isActive());
        QCOMPARE(form.StepCounter(), 0);
        QVERIFY(Messages_.Shown.empty());
    }

    void MenuItems_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        const char* rows[][3] = {
            {"LoadLogfile1", "&Load logfile", "Ctrl+L"},
            {"Singlescreenshot1", "&Single screen shot", "Y"},
            {"Screenshotseries1", "S&creen shot series", "X"},
            {"Quit1", "Quit", "Alt+F4"},
            {"Deckup1", "Deck up", "W"},
            {"Deckdown1", "Deck down", "S"},
            {"Zoomin1", "Zoom in", "Q"},
            {"Zoomout1", "Zoom out", "A"},
            {"Run1", "&Run/Pause", "2"},
            {"ResettoStart1", "Reset to &start", "1"},
            {"Forward1", "Step &forward", "4"},
            {"Backward1", "Step &backward", "3"},
            {"ShowOrigin", "S&how origin", ""},
            {"AddLight", "&Add light", "L"},
            {"RemoveLight", "&Remove light", "Shift+L"},
            {"Options1", "&Options...", ""},
            {"Statistics", "&Statistics...", ""},
            {"Help2", "Help...", "F1"},
            {"StartupWindow1", "Startup window...", ""},
        };
        for (const auto& row : rows) QTest::newRow(row[0]) << row[0] << row[1] << row[2];
    }
    void MenuItems() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        TMainForm& form = Form_ ? *Form_ : NewForm();
        auto* action = form.findChild<QAction*>(name);
        QVERIFY(action != nullptr);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut().toString(), shortcut);
    }

    void MenuOrder() {
        TMainForm& form = NewForm();
        auto captions = [](QMenu* menu) {
            QStringList list;
            for (QAction* a : menu->actions()) list << (a->isSeparator() ? "-" : a->objectName());
            return list;
        };
        QCOMPARE(form.File1->title(), QString("&File"));
        QCOMPARE(captions(form.File1),
                 (QStringList{"LoadLogfile1", "-", "Singlescreenshot1", "Screenshotseries1", "-",
                              "OldFile1", "OldFile2", "OldFile3", "OldFile4", "-", "Quit1"}));
        QCOMPARE(captions(form.Views1),
                 (QStringList{"Deckup1", "Deckdown1", "-", "Zoomin1", "Zoomout1"}));
        QCOMPARE(captions(form.Animation1),
                 (QStringList{"Run1", "ResettoStart1", "-", "Forward1", "Backward1"}));
        QCOMPARE(captions(form.Settings1), (QStringList{"ShowOrigin", "AddLight", "RemoveLight",
                                                        "-", "Options1", "Statistics"}));
        QCOMPARE(form.Help1->title(), QString("Help"));
    }

    void ToolBar() {
        TMainForm& form = NewForm();
        struct Row {
            QWidget* control;
            QString hint;
        };
        const Row rows[] = {
            {form.BitBtn1, "load file [Ctrl+L]"},
            {form.BitBtn2, "statistics"},
            {form.ComboBox1, "choose deck [up: w, down: s]"},
            {form.BitBtn_ResetToStart, "reset to start [1]"},
            {form.SpeedButton_PlayLoop, "play loop [2]"},
            {form.BitBtn_StepBack, "step back [3]"},
            {form.BitBtn_StepFore, "step forward [4]"},
            {form.BitBtn_ScreenShotSingle, "single screen shot [Y]"},
            {form.SpeedButton_ScreenShotSeries, "screen shot series [X]"},
        };
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        int lastX = -1;
        for (const Row& row : rows) {
            QCOMPARE(row.control->toolTip(), row.hint);
            // Left to right in this order along the tool bar.
            const int x = row.control->mapTo(form.Panel1, QPoint(0, 0)).x();
            QVERIFY2(x > lastX, qPrintable(row.hint));
            lastX = x;
            auto* button = qobject_cast<QToolButton*>(row.control);
            if (button == nullptr) continue;
            // Every button has a visible picture, also when disabled.
            for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
                const QImage image = button->icon().pixmap(16, 16, mode).toImage();
                int inked = 0;
                for (int y = 0; y < image.height(); ++y) {
                    for (int x2 = 0; x2 < image.width(); ++x2) {
                        if (qAlpha(image.pixel(x2, y)) > 0) ++inked;
                    }
                }
                QVERIFY2(inked > 20, qPrintable(row.hint));
            }
        }
        QVERIFY(form.SpeedButton_PlayLoop->isCheckable());
        QVERIFY(form.SpeedButton_ScreenShotSeries->isCheckable());
        QCOMPARE(form.toolBarArea(form.Panel1), Qt::BottomToolBarArea);
    }

    void LoadShowsTheProject() {
        const QString path = Project("decks.3dl", kThreeDecks, 4, {"P40x0S", "P10x0S"});
        TMainForm& form = NewForm();
        TLoadObserver observer(form);
        form.FProgressDialog->installEventFilter(&observer);
        form.LoadLogFile(path);

        QVERIFY(observer.Seen);
        QVERIFY(observer.Loading);
        QVERIFY(!observer.FileMenu && !observer.ViewsMenu && !observer.AnimationMenu &&
                !observer.SettingsMenu);
        QVERIFY(observer.HelpMenu);
        QVERIFY(!observer.LoadButton && !observer.PlayButton && !observer.DeckBox);
        QVERIFY(!observer.ViewMouse);

        QCOMPARE(form.windowTitle(), "ORLEX Viewer, " + path);
        QCOMPARE(DeckBoxItems(), (QStringList{"C", "B", "A"}));
        QCOMPARE(form.ComboBox1->currentIndex(), 2);
        QCOMPARE(form.CellView3D->CurrentDeck, 0);
        QCOMPARE(form.StatusText(0), QString("Lights: %1").arg(form.LogFile->Decks[0].LightsOn));
        QCOMPARE(form.StatusText(1), QString("Time: 0:00 min"));
        QCOMPARE(form.StatusText(2), QString("Saved: 0"));
        QCOMPARE(form.StatusText(3), QString(" "));
        QVERIFY(form.File1->isEnabled() && form.Views1->isEnabled());
        QVERIFY(form.BitBtn1->isEnabled() && form.ComboBox1->isEnabled());
        QVERIFY(form.CellView3D->IsControlEnabled);
        QVERIFY(!form.IsLoading());
        QVERIFY(!form.FProgressDialog->isVisible());
        QVERIFY(form.LogFileLoaded);
        QVERIFY(Messages_.Shown.empty());
    }

    void SecondLoadResetsTheState() {
        const QString first = Project("first.3dl", kThreeDecks, 4, {"P40x0S"});
        const QString second = Project("second.3dl", {"Only"}, 2, {"P40x0S"});
        TMainForm& form = Loaded(first);
        form.Forward1Click();
        form.Forward1Click();
        form.StartAnimation();
        QCOMPARE(form.StepCounter(), 8);
        QVERIFY(form.StatusText(1) != "Time: 0:00 min");
        form.LoadLogFile(second);
        QCOMPARE(form.windowTitle(), "ORLEX Viewer, " + second);
        QCOMPARE(form.StepCounter(), 0);
        QCOMPARE(form.SavedCount(), 0);
        QCOMPARE(form.StatusText(1), QString("Time: 0:00 min"));
        QCOMPARE(form.StatusText(2), QString("Saved: 0"));
        QCOMPARE(form.StatusText(3), QString(" "));
        QVERIFY(!form.AnimationTimer->isActive());
        QVERIFY(!form.SpeedButton_PlayLoop->isChecked());
        QCOMPARE(DeckBoxItems(), QStringList{"Only"});
        QCOMPARE(form.Playback.Project(), form.LogFile.get());
    }

    void ProjectWithoutDecks() {
        const QString path = Project("nodecks.3dl", {}, 4, {"P4x0S"});
        TMainForm& form = Loaded(path);
        QVERIFY(form.LogFileLoaded);
        QCOMPARE(form.ComboBox1->count(), 0);
        QCOMPARE(form.StatusText(0), QString("Lights: 0"));
        form.AddLightClick();
        form.RemoveLightClick();
        form.Deckup1Click();
        form.Deckdown1Click();
        QCOMPARE(form.StatusText(0), QString("Lights: 0"));
        form.Forward1Click();
        QCOMPARE(form.StepCounter(), 4);
    }

    void CommandLineFileThatCannotBeOpened() {
        TMainForm& form = NewForm();
        const QString missing = Files_.filePath("missing.3dl");
        form.StartFile = missing;
        form.FormActivate();
        QCOMPARE(Messages_.Shown.size(), std::size_t{1});
        QCOMPARE(Messages_.Shown[0].Text, ("Cannot open file:\n" + missing).toStdString());
        QCOMPARE(Messages_.Shown[0].Caption, std::string("Error"));
        QVERIFY(!form.LogFileLoaded);
        QCOMPARE(form.windowTitle(), QString("ORLEX Viewer"));
        QVERIFY(form.File1->isEnabled());
        // Loaded once: a later activation does nothing.
        form.FormActivate();
        QCOMPARE(Messages_.Shown.size(), std::size_t{1});
    }

    void CommandLineFileIsLoadedOnce() {
        const QString path = Project("start.3dl", kThreeDecks, 4, {"P4x0S"});
        TMainForm& form = NewForm();
        form.StartFile = path;
        form.FormActivate();
        QVERIFY(form.LogFileLoaded);
        QVERIFY(form.StartFile.isEmpty());
        QCOMPARE(form.windowTitle(), "ORLEX Viewer, " + path);
        // Not added to the recent list, LogDir untouched.
        QVERIFY(RecentMenu().isEmpty());
        QVERIFY(!RawSettings().contains("LogDir"));
    }

    void RecentListOrder_data() {
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one") << QStringList{"a"} << QStringList{"a"};
        QTest::newRow("newest first") << QStringList{"a", "b", "c"} << QStringList{"c", "b", "a"};
        QTest::newRow("entry 2 to head")
            << QStringList{"a", "b", "c", "d", "b"} << QStringList{"b", "d", "c", "a"};
        QTest::newRow("fifth drops oldest")
            << QStringList{"a", "b", "c", "d", "e"} << QStringList{"e", "d", "c", "b"};
        QTest::newRow("entry 0 again")
            << QStringList{"a", "b", "c", "c"} << QStringList{"c", "b", "a"};
        QTest::newRow("last entry to head")
            << QStringList{"a", "b", "c", "d", "a"} << QStringList{"a", "d", "c", "b"};
        QTest::newRow("case matters") << QStringList{"a", "A"} << QStringList{"A", "a"};
    }
    void RecentListOrder() {
        QFETCH(QStringList, opened);
        QFETCH(QStringList, expected);
        TMainForm& form = NewForm();
        for (const QString& name : opened) form.AddToLastProjects(Files_.filePath(name + ".3dl"));
        QStringList shown;
        for (int k = 0; k < expected.size(); ++k) {
            shown << QString("&%1 ").arg(k + 1) + Files_.filePath(expected[k] + ".3dl");
        }
        QCOMPARE(RecentMenu(), shown);
        QVERIFY(form.N1->isVisible());
        // Stored at once, and read back the same by the next start.
        NewForm();
        QCOMPARE(RecentMenu(), shown);
    }

    void LoadDialogPutsFileAtHead() {
        QStringList paths;
        for (const char* name : {"r1.3dl", "r2.3dl", "r3.3dl", "r4.3dl"}) {
            paths << Project(name, {"D"}, 2, {"P2x0S"});
        }
        TMainForm& form = NewForm();
        QString offered;
        for (const QString& path : paths) {
            form.ChooseLogFile = [&](const QString& dir, const QString& name) {
                offered = dir + name;
                return path;
            };
            form.BitBtn1Click();
        }
        // The dialog starts where the last file was.
        QCOMPARE(offered, paths[2]);
        QCOMPARE(RawSettings().value("LogDir").toString(), paths[3]);
        QCOMPARE(form.LastProjects[0], paths[3]);
        QCOMPARE(form.LastProjects[3], paths[0]);
        QCOMPARE(form.windowTitle(), "ORLEX Viewer, " + paths[3]);

        // A recent entry loads without reordering the list.
        form.OpenRecent(form.OldFileItems[2]);
        QCOMPARE(form.windowTitle(), "ORLEX Viewer, " + paths[1]);
        QCOMPARE(form.LastProjects[0], paths[3]);
        QCOMPARE(form.LastProjects[2], paths[1]);
        QCOMPARE(RawSettings().value("LogDir").toString(), paths[3]);

        // A dropped file loads the same way.
        form.OpenDroppedFile(paths[0]);
        QCOMPARE(form.windowTitle(), "ORLEX Viewer, " + paths[0]);
        QCOMPARE(form.LastProjects[0], paths[3]);

        // Cancelling the dialog changes nothing.
        form.ChooseLogFile = [](const QString&, const QString&) { return QString(); };
        form.BitBtn1Click();
        QCOMPARE(form.windowTitle(), "ORLEX Viewer, " + paths[0]);
        QVERIFY(Messages_.Shown.empty());
    }

    void DragAcceptsOneLogFile_data() {
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("log file") << QStringList{"file:///data/ship.3dl"} << true;
        QTest::newRow("upper-case extension") << QStringList{"file:///data/SHIP.3DL"} << true;
        QTest::newRow("other file") << QStringList{"file:///data/ship.txt"} << false;
        QTest::newRow("two files") << QStringList{"file:///a.3dl", "file:///b.3dl"} << false;
        QTest::newRow("web address") << QStringList{"http://example.org/a.3dl"} << false;
        QTest::newRow("nothing") << QStringList{} << false;
    }
    void DragAcceptsOneLogFile() {
        QFETCH(QStringList, urls);
        QFETCH(bool, accepted);
        TMainForm& form = Form_ ? *Form_ : NewForm();
        QMimeData mime;
        QList<QUrl> list;
        for (const QString& url : urls) list << QUrl(url);
        if (!list.isEmpty()) mime.setUrls(list);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(&form, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
    }

    void DropLoadsTheFile() {
        const QString path = Project("dropped.3dl", kThreeDecks, 4, {"P4x0S"});
        TMainForm& form = NewForm();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &drop);
        QTRY_COMPARE(form.windowTitle(), "ORLEX Viewer, " + path);
        QVERIFY(RecentMenu().isEmpty());
    }

    void MissingFilesAreReported() {
        const QString gone = Files_.filePath("gone.3dl");
        const QString kept = Project("kept.3dl", {"D"}, 2, {"P2x0S"});
        TMainForm& form = NewForm();
        form.ChooseLogFile = [&](const QString&, const QString&) { return kept; };
        form.BitBtn1Click();
        form.AddToLastProjects(gone);
        const QString before = form.windowTitle();

        form.OpenRecent(form.OldFileItems[0]);
        form.ChooseLogFile = [&](const QString&, const QString&) { return gone; };
        form.BitBtn1Click();
        form.OpenDroppedFile(gone);
        QCOMPARE(Messages_.Shown.size(), std::size_t{3});
        for (const TShownMessage& shown : Messages_.Shown) {
            QCOMPARE(shown.Text, ("Cannot open file:\n" + gone).toStdString());
            QCOMPARE(shown.Caption, std::string("Error"));
            QVERIFY(shown.Icon == TMsgIcon::Error);
        }
        // The entry stays, LogDir stays, the project stays.
        QCOMPARE(form.LastProjects[0], gone);
        QCOMPARE(RawSettings().value("LogDir").toString(), kept);
        QCOMPARE(form.windowTitle(), before);
    }

    void RecentListReadAtStart() {
        {
            QSettings raw = RawSettings();
            raw.setValue("Last Projects/1", "/data/A.3dl");
            raw.setValue("Last Projects/3", "/data/C.3dl");
        }
        TMainForm& form = NewForm();
        QCOMPARE(RecentMenu(), (QStringList{"&1 /data/A.3dl", "&2 /data/C.3dl"}));
        QVERIFY(form.N1->isVisible());
        QCOMPARE(form.LastProjects[0], QString("/data/A.3dl"));
        QCOMPARE(form.LastProjects[1], QString("/data/C.3dl"));
        QVERIFY(form.LastProjects[2].isEmpty());
    }

    void MaxAnimationSpeedSetting_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("used");
        QTest::newRow("missing") << QVariant() << 5;
        QTest::newRow("text") << QVariant("fast") << 5;
        QTest::newRow("number") << QVariant(10) << 10;
        QTest::newRow("zero") << QVariant(0) << 5;
        QTest::newRow("negative") << QVariant(-3) << 5;
    }
    void MaxAnimationSpeedSetting() {
        QFETCH(QVariant, stored);
        QFETCH(int, used);
        if (stored.isValid()) RawSettings().setValue("MaxAnimationSpeed", stored);
        TMainForm& form = NewForm();
        QCOMPARE(form.MaxAnimationSpeed, used);
        form.close();
        QCOMPARE(RawSettings().value("MaxAnimationSpeed").toString(), QString::number(used));
    }

    void CloseReleasesTheProject() {
        TMainForm& form = Loaded(Project("close.3dl", kThreeDecks, 4, {"P40x0S"}));
        form.StartAnimation();
        form.StepForward();
        QVERIFY(form.close());
        QVERIFY(form.LogFile == nullptr);
        QVERIFY(form.CellView3D->Decks == nullptr);
        QVERIFY(!form.AnimationTimer->isActive());
        QCOMPARE(form.StatusText(3), QString());
        // Commands after the close do nothing.
        form.Forward1Click();
        form.Deckup1Click();
        form.CellView3D->Paint();
    }

    void TimerIntervalFollowsSpeed_data() {
        QTest::addColumn<int>("vmax");
        QTest::addColumn<int>("interval");
        QTest::newRow("vmax 4") << 4 << 50;
        QTest::newRow("vmax 3") << 3 << 66;
        QTest::newRow("vmax 300 still ticks") << 300 << 1;
    }
    void TimerIntervalFollowsSpeed() {
        QFETCH(int, vmax);
        QFETCH(int, interval);
        TMainForm& form = Loaded(Project("speed.3dl", {"D"}, vmax, {"P900x0S"}));
        QCOMPARE(form.MaxAnimationSpeed, 5);
        form.Run1Click();
        QVERIFY(form.AnimationTimer->isActive());
        QCOMPARE(form.AnimationTimer->interval(), interval);
        QCOMPARE(form.StatusText(3), QString("Animation loop is running."));
        QVERIFY(form.SpeedButton_PlayLoop->isChecked());
    }

    void PausingCompletesTheSecond() {
        TMainForm& form = Loaded(Project("pause.3dl", {"D"}, 4, {"P100x0S"}, 30));
        form.Run1Click();
        for (int i = 0; i < 10; ++i) form.AnimationTimerTimer();
        QCOMPARE(form.StepCounter(), 10);
        QCOMPARE(form.StatusText(1), QString("Time: 0:32 min"));
        form.Run1Click();
        QCOMPARE(form.StepCounter(), 12);
        QVERIFY(!form.AnimationTimer->isActive());
        QVERIFY(!form.SpeedButton_PlayLoop->isChecked());
        QCOMPARE(form.StatusText(3), QString());
        QCOMPARE(form.StatusText(1), QString("Time: 0:33 min"));
    }

    void StepBackWhileRunning() {
        TMainForm& form = Loaded(Project("back.3dl", {"D"}, 4, {"P100x0S"}));
        form.StartAnimation();
        for (int i = 0; i < 13; ++i) form.AnimationTimerTimer();
        form.Backward1Click();
        QCOMPARE(form.StepCounter(), 12);
        QVERIFY(!form.AnimationTimer->isActive());
        // At 0 a step back only stops.
        form.ResettoStart1Click();
        form.StartAnimation();
        form.Backward1Click();
        QCOMPARE(form.StepCounter(), 0);
        QVERIFY(!form.AnimationTimer->isActive());
    }

    void ResetKeepsTheAnimationRunning() {
        TMainForm& form = Loaded(Project("reset.3dl", {"D"}, 4, {"P100x0S"}));
        form.StartAnimation();
        for (int i = 0; i < 5; ++i) form.AnimationTimerTimer();
        form.ResettoStart1Click();
        QCOMPARE(form.StepCounter(), 0);
        QCOMPARE(form.StatusText(1), QString("Time: 0:00 min"));
        QCOMPARE(form.StatusText(2), QString("Saved: 0"));
        QVERIFY(form.AnimationTimer->isActive());
    }

    void EverybodySavedRestartsTheLoop() {
        TMainForm& form = Loaded(Project("loop.3dl", {"D"}, 2, {"P3x3S", "P2x0S"}));
        form.StartAnimation();
        for (int i = 0; i < 3; ++i) form.AnimationTimerTimer();
        QCOMPARE(form.StepCounter(), 3);
        QCOMPARE(form.StatusText(2), QString("Saved: 1"));
        form.AnimationTimerTimer();
        QCOMPARE(form.StepCounter(), 0);
        QCOMPARE(form.StatusText(2), QString("Saved: 0"));
        QVERIFY(form.AnimationTimer->isActive());
    }

    void ForwardStopsAtTheEnd() {
        TMainForm& form = Loaded(Project("end.3dl", {"D"}, 2, {"P3x3S"}));
        form.Forward1Click();
        form.Forward1Click();
        QCOMPARE(form.StepCounter(), 4);
        QCOMPARE(form.SavedCount(), 1);
        form.Forward1Click();
        QCOMPARE(form.StepCounter(), 4);
        form.Backward1Click();
        QCOMPARE(form.StepCounter(), 2);
        QCOMPARE(form.SavedCount(), 0);
    }

    // Ticks that arrive while a step lets events run are skipped, not nested.
    void TicksDuringAStepAreSkipped() {
        TMainForm& form = Loaded(Project("nest.3dl", {"D"}, 4, {"P100x0S"}));
        int nestedTicks = 0;
        QTimer probe;
        probe.setInterval(0);
        connect(&probe, &QTimer::timeout, &form, [&] {
            ++nestedTicks;
            form.AnimationTimerTimer();
        });
        probe.start();
        form.StepForward();
        probe.stop();
        QVERIFY(nestedTicks > 0);
        QCOMPARE(form.StepCounter(), 1);
    }

    // Commands handled while a step lets events run: a load replaces the project
    // under a running second; the loop stops instead of stepping a stale project.
    void LoadDuringAStep() {
        const QString second = Project("during2.3dl", {"X", "Y"}, 4, {"P100x0S"});
        TMainForm& form = Loaded(Project("during1.3dl", {"D"}, 4, {"P100x0S"}));
        bool loaded = false;
        QTimer::singleShot(0, &form, [&] {
            form.LoadLogFile(second);
            loaded = true;
        });
        form.Forward1Click();
        QVERIFY(loaded);
        QCOMPARE(form.windowTitle(), "ORLEX Viewer, " + second);
        QCOMPARE(form.StepCounter(), 0);
        QCOMPARE(DeckBoxItems(), (QStringList{"Y", "X"}));
    }

    // While a load runs, the shortcuts of the disabled menus do nothing.
    void ShortcutsDoNothingDuringALoad() {
        const QString path = Project("keys.3dl", kThreeDecks, 4, {"P40x0S"});
        TMainForm& form = NewForm();
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form)) QSKIP("the window cannot be activated here");
        form.CellView3D->SetDistance(50.0);
        QTest::keyClick(&form, Qt::Key_Q);
        QVERIFY(std::abs(form.CellView3D->Distance - 45.0) < 1e-9);
        double during = 0.0;
        bool lightsOff = false;
        QTimer::singleShot(0, &form, [&] {
            QTest::keyClick(&form, Qt::Key_Q);
            during = form.CellView3D->Distance;
            lightsOff = !form.AddLight->isEnabled() && !form.RemoveLight->isEnabled();
        });
        form.LoadLogFile(path);
        QVERIFY(std::abs(during - 45.0) < 1e-9);
        QVERIFY(lightsOff);
        // Afterwards the light items follow the deck again.
        QCOMPARE(form.AddLight->isEnabled(), form.LogFile->Decks[0].LightsOn < 8);
        QCOMPARE(form.RemoveLight->isEnabled(), form.LogFile->Decks[0].LightsOn > 0);
        QVERIFY(form.Zoomin1->isEnabled());
    }

    void CloseDuringALoadWaitsForIt() {
        const QString path = Project("slow.3dl", kThreeDecks, 4, {"P40x0S"});
        TMainForm& form = NewForm();
        form.show();
        QTimer::singleShot(0, &form, [&] { QVERIFY(!form.close()); });
        form.LoadLogFile(path);
        QVERIFY(!form.isVisible());
        QVERIFY(form.LogFile == nullptr);
    }

    void DeckCommands() {
        TMainForm& form = Loaded(Project("nav.3dl", kThreeDecks, 4, {"P4x0S"}));
        struct Step {
            void (TMainForm::*command)();
            int item;
            int deck;
        };
        const Step steps[] = {
            {&TMainForm::Deckdown1Click, 2, 0},  // lowest deck: no change
            {&TMainForm::Deckup1Click, 1, 1},   {&TMainForm::Deckup1Click, 0, 2},
            {&TMainForm::Deckup1Click, 0, 2},  // highest deck: no wrap
            {&TMainForm::Deckdown1Click, 1, 1},
        };
        for (const Step& step : steps) {
            (form.*step.command)();
            QCOMPARE(form.ComboBox1->currentIndex(), step.item);
            QCOMPARE(form.CellView3D->CurrentDeck, step.deck);
            QCOMPARE(form.StatusText(0),
                     QString("Lights: %1").arg(form.LogFile->Decks[step.deck].LightsOn));
        }
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.ComboBox1->setCurrentIndex(0);
        form.ComboBox1Select();
        QCOMPARE(form.CellView3D->CurrentDeck, 2);
        QVERIFY(form.CellView3D->hasFocus() || QApplication::focusWidget() == form.CellView3D ||
                !form.isActiveWindow());
    }

    void ZoomFigures_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<QString>("commands");
        QTest::addColumn<double>("expected");
        QTest::newRow("three zoom in") << 100.0 << "iii" << 72.9;
        QTest::newRow("zoom in at the bound") << 1.2 << "i" << 1.1;
        QTest::newRow("zoom out") << 50.0 << "o" << 55.0;
        QTest::newRow("wheel forward") << 50.0 << "f" << 48.8;
        QTest::newRow("wheel back") << 50.0 << "b" << 51.2;
        QTest::newRow("wheel far back") << 1.1 << "bbbbbbbbbb" << 1.1 * std::pow(1.024, 10);
    }
    void ZoomFigures() {
        QFETCH(double, start);
        QFETCH(QString, commands);
        QFETCH(double, expected);
        TMainForm& form = Form_ ? *Form_ : NewForm();
        form.CellView3D->SetDistance(start);
        for (QChar c : commands) {
            if (c == 'i') form.Button1Click();
            if (c == 'o') form.Button2Click();
            if (c == 'f') form.FormMouseWheel(120);
            if (c == 'b') form.FormMouseWheel(-120);
        }
        QVERIFY2(std::abs(form.CellView3D->Distance - expected) < 1e-9,
                 qPrintable(QString::number(form.CellView3D->Distance, 'g', 17)));
    }

    // A wheel turn over the view, as the window system delivers it, zooms once.
    void WheelOverTheView() {
        TMainForm& form = NewForm();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.CellView3D->SetDistance(50.0);
        const QPointF at(form.CellView3D->width() / 2.0, form.CellView3D->height() / 2.0);
        QWheelEvent wheel(at, form.CellView3D->mapToGlobal(at), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        QApplication::sendEvent(form.CellView3D, &wheel);
        QVERIFY2(std::abs(form.CellView3D->Distance - 48.8) < 1e-9,
                 qPrintable(QString::number(form.CellView3D->Distance, 'g', 17)));
    }

    void ShowOriginToggles() {
        TMainForm& form = NewForm();
        QVERIFY(form.CellView3D->OriginVisible);
        form.ShowOrigin->trigger();
        QVERIFY(!form.CellView3D->OriginVisible);
        QVERIFY(!form.ShowOrigin->isChecked());
        form.ShowOrigin->trigger();
        QVERIFY(form.CellView3D->OriginVisible);
        QVERIFY(form.ShowOrigin->isChecked());
    }

    void LightCommands() {
        TMainForm& form = Loaded(Project("lights.3dl", kThreeDecks, 4, {"P4x0S"}));
        for (int i = 0; i < 10; ++i) form.AddLightClick();
        QCOMPARE(form.CellView3D->GetLightCount(), 8);
        QCOMPARE(form.StatusText(0), QString("Lights: 8"));
        QVERIFY(!form.AddLight->isEnabled());
        QVERIFY(form.RemoveLight->isEnabled());
        form.RemoveLightClick();
        QCOMPARE(form.StatusText(0), QString("Lights: 7"));
        QVERIFY(form.AddLight->isEnabled());
        for (int i = 0; i < 10; ++i) form.RemoveLightClick();
        QCOMPARE(form.CellView3D->GetLightCount(), 0);
        QCOMPARE(form.StatusText(0), QString("Lights: 0"));
        QVERIFY(!form.RemoveLight->isEnabled());
        QVERIFY(form.AddLight->isEnabled());
        // Deck 1 still has its own lights.
        form.Deckup1Click();
        QCOMPARE(form.StatusText(0), QString("Lights: %1").arg(form.LogFile->Decks[1].LightsOn));
        QCOMPARE(form.RemoveLight->isEnabled(), form.LogFile->Decks[1].LightsOn > 0);
    }
};

QTEST_MAIN(TestMainForm)
#include "test_mainform.moc"
