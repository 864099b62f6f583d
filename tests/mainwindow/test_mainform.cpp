// The main window: start-up state, layout, loading, the recent list, settings
// and close.
#include <QMimeData>
#include <QProgressBar>
#include <QtTest>

#include "cellview3d.h"
#include "formfixture.h"

using namespace orlex;
using namespace orlex::test;

namespace {

// Records the window's state whenever the progress dialog is shown by the load.
class TLoadObserver : public QObject {
public:
    TLoadObserver(TMainForm& form, const TMainFormUi& ui) : Form_(form), Ui_(ui) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !Seen) {
            Seen = true;
            FileMenu = Ui_.File1->isEnabled();
            ViewsMenu = Ui_.Views1->menuAction()->isEnabled();
            AnimationMenu = Ui_.Animation1->menuAction()->isEnabled();
            SettingsMenu = Ui_.Settings1->menuAction()->isEnabled();
            HelpMenu = Ui_.Help1->menuAction()->isEnabled();
            LoadButton = Ui_.BitBtn1->isEnabled();
            PlayButton = Ui_.SpeedButton_PlayLoop->isEnabled();
            DeckBox = Ui_.ComboBox1->isEnabled();
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
    const TMainFormUi& Ui_;
};

}  // namespace

class TestMainForm : public QObject, public TFormFixture {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(Files_.isValid()); }
    void init() { ClearSettings(); }
    void cleanup() { DropForm(); }

    void StartUpState() {
        TMainForm& form = NewForm();
        QCOMPARE(form.windowTitle(), QString("ORLEX Viewer"));
        QCOMPARE(form.StatusText(0), QString("Lights:"));
        QCOMPARE(form.StatusText(1), QString("Time: 0:00 min"));
        QCOMPARE(form.StatusText(2), QString("Saved: 0"));
        QCOMPARE(form.StatusText(3), QString());
        QCOMPARE(DeckBoxItems(), QStringList{"---"});
        QCOMPARE(Ui().ComboBox1->currentIndex(), 0);
        QVERIFY(Ui().ShowOrigin->isChecked());
        QVERIFY(!form.LogFileLoaded);
        QVERIFY(!Ui().AnimationTimer->isActive());
        QVERIFY(!Ui().SpeedButton_PlayLoop->isChecked());
        QVERIFY(!Ui().SpeedButton_ScreenShotSeries->isChecked());
        QVERIFY(!form.CellView3D->IsControlEnabled);
        QVERIFY(!Ui().N1->isVisible());
        QVERIFY(Ui().N4->isVisible());
        QVERIFY(Ui().AddLight->isEnabled() && Ui().RemoveLight->isEnabled());
        QVERIFY(Ui().FProgressDialog != nullptr && !Ui().FProgressDialog->isVisible());
        // Without a project the project commands do nothing.
        form.Run1Click();
        form.Forward1Click();
        form.Deckup1Click();
        form.AddLightClick();
        QVERIFY(!Ui().AnimationTimer->isActive());
        QCOMPARE(form.StepCounter(), 0);
        QVERIFY(Messages_.Messages.empty());
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
        TMainForm& form = Form();
        auto* action = form.findChild<QAction*>(name);
        QVERIFY(action != nullptr);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut().toString(), shortcut);
    }

    void MenuOrder() {
        NewForm();
        auto captions = [](QMenu* menu) {
            QStringList list;
            for (QAction* a : menu->actions()) list << (a->isSeparator() ? "-" : a->objectName());
            return list;
        };
        QCOMPARE(Ui().File1->title(), QString("&File"));
        QCOMPARE(captions(Ui().File1),
                 (QStringList{"LoadLogfile1", "-", "Singlescreenshot1", "Screenshotseries1", "-",
                              "ExportVideo1", "ExportAnalysis1", "ExportRunsReport1",
                              "ImportTrajectories1", "-", "OldFile1", "OldFile2", "OldFile3",
                              "OldFile4", "-", "Quit1"}));
        // The items of time navigation and analysis follow the menus' own, behind a
        // separator.
        QCOMPARE(
            captions(Ui().Views1),
            (QStringList{"Deckup1", "Deckdown1", "-", "Zoomin1", "Zoomout1", "-", "PersonPanel1",
                         "AllTrails1", "-", "AnalysisPanel1", "OverlayMenu1", "-", "ResetView1",
                         "-", "AllDecks1", "PlanView1", "-", "Measure1", "MeasurementsPanel1"}));
        QCOMPARE(captions(Ui().Animation1), (QStringList{"Run1", "ResettoStart1", "-", "Forward1",
                                                         "Backward1", "-", "GoToTime1"}));
        QCOMPARE(captions(Ui().Settings1), (QStringList{"ShowOrigin", "AddLight", "RemoveLight",
                                                        "-", "Options1", "Statistics"}));
        QCOMPARE(Ui().Help1->title(), QString("Help"));
    }

    void ToolBar() {
        TMainForm& form = NewForm();
        struct Row {
            QWidget* control;
            QString hint;
        };
        const Row rows[] = {
            {Ui().BitBtn1, "load file [Ctrl+L]"},
            {Ui().BitBtn2, "statistics"},
            {Ui().ComboBox1, "choose deck [up: w, down: s]"},
            {Ui().BitBtn_ResetToStart, "reset to start [1]"},
            {Ui().SpeedButton_PlayLoop, "play loop [2]"},
            {Ui().BitBtn_StepBack, "step back [3]"},
            {Ui().BitBtn_StepFore, "step forward [4]"},
            {Ui().BitBtn_ScreenShotSingle, "single screen shot [Y]"},
            {Ui().SpeedButton_ScreenShotSeries, "screen shot series [X]"},
        };
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        int lastX = -1;
        for (const Row& row : rows) {
            QCOMPARE(row.control->toolTip(), row.hint);
            // Left to right in this order along the tool bar.
            const int x = row.control->mapTo(Ui().Panel1, QPoint(0, 0)).x();
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
        QVERIFY(Ui().SpeedButton_PlayLoop->isCheckable());
        QVERIFY(Ui().SpeedButton_ScreenShotSeries->isCheckable());
        QCOMPARE(form.toolBarArea(Ui().Panel1), Qt::BottomToolBarArea);
    }

    void LoadShowsTheProject() {
        const QString path = Project("decks.3dl", kThreeDecks, 4, {"P40x0S", "P10x0S"});
        TMainForm& form = NewForm();
        TLoadObserver observer(form, Ui());
        Ui().FProgressDialog->installEventFilter(&observer);
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
        QCOMPARE(Ui().ComboBox1->currentIndex(), 2);
        QCOMPARE(form.CellView3D->CurrentDeck, 0);
        QCOMPARE(form.StatusText(0), QString("Lights: %1").arg(form.LogFile->Decks[0].LightsOn));
        QCOMPARE(form.StatusText(1), QString("Time: 0:00 min"));
        QCOMPARE(form.StatusText(2), QString("Saved: 0"));
        QCOMPARE(form.StatusText(3), QString(" "));
        QVERIFY(Ui().File1->isEnabled() && Ui().Views1->isEnabled());
        QVERIFY(Ui().BitBtn1->isEnabled() && Ui().ComboBox1->isEnabled());
        QVERIFY(form.CellView3D->IsControlEnabled);
        QVERIFY(!form.IsLoading());
        QVERIFY(!Ui().FProgressDialog->isVisible());
        QVERIFY(form.LogFileLoaded);
        QVERIFY(Messages_.Messages.empty());
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
        QVERIFY(!Ui().AnimationTimer->isActive());
        QVERIFY(!Ui().SpeedButton_PlayLoop->isChecked());
        QCOMPARE(DeckBoxItems(), QStringList{"Only"});
        QCOMPARE(form.Playback.Project(), form.LogFile.get());
    }

    void ProjectWithoutDecks() {
        const QString path = Project("nodecks.3dl", {}, 4, {"P4x0S"});
        TMainForm& form = Loaded(path);
        QVERIFY(form.LogFileLoaded);
        QCOMPARE(Ui().ComboBox1->count(), 0);
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
        QCOMPARE(Messages_.Messages.size(), std::size_t{1});
        QCOMPARE(Messages_.Messages[0].Text, ("Cannot open file:\n" + missing).toStdString());
        QCOMPARE(Messages_.Messages[0].Caption, std::string("Error"));
        QVERIFY(!form.LogFileLoaded);
        QCOMPARE(form.windowTitle(), QString("ORLEX Viewer"));
        QVERIFY(Ui().File1->isEnabled());
        // Loaded once: a later activation does nothing.
        form.FormActivate();
        QCOMPARE(Messages_.Messages.size(), std::size_t{1});
    }

    void FileThatIsNoProjectEndsWithNone() {
        // A project first: the failed load must not leave it behind.
        TMainForm& form = Loaded(Project("first.3dl", kThreeDecks, 4, {"P4x0S"}));
        QCOMPARE(Ui().ComboBox1->count(), 3);
        for (const QByteArray& bytes : {QByteArray(), QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)}) {
            Messages_.Messages.clear();
            const QString path =
                WriteFile(Files_.path(), "picture.3dl", QString::fromLatin1(bytes));
            form.LoadLogFile(path);
            QCOMPARE(Messages_.Messages.size(), std::size_t{1});
            QCOMPARE(Messages_.Messages[0].Caption, std::string("Error"));
            QCOMPARE(Messages_.Messages[0].Text,
                     (path + " is not a 3D log file: no <header> found").toStdString());
            QCOMPARE(form.windowTitle(), QString("ORLEX Viewer"));
            QCOMPARE(Ui().ComboBox1->count(), 0);
            QCOMPARE(form.LogFile->PersonCount(), 0);
            QVERIFY(Ui().File1->isEnabled());
        }
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
        QVERIFY(Ui().N1->isVisible());
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
        QVERIFY(Messages_.Messages.empty());
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
        TMainForm& form = Form();
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
        QCOMPARE(Messages_.Messages.size(), std::size_t{3});
        for (const TShownMessage& shown : Messages_.Messages) {
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
        QVERIFY(Ui().N1->isVisible());
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
        QVERIFY(!Ui().AnimationTimer->isActive());
        QCOMPARE(form.StatusText(3), QString());
        // Commands after the close do nothing.
        form.Forward1Click();
        form.Deckup1Click();
        form.CellView3D->Paint();
    }
};

QTEST_MAIN(TestMainForm)
#include "test_mainform.moc"
