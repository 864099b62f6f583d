// Screen-shot logic: file names, output sizes, targets of the save options,
// the overwrite question, series mode and failures; with a recording host.
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <deque>

#include "appsettings.h"
#include "jpegwriter.h"
#include "options1.h"
#include "qtsupport.h"
#include "screenshots.h"

using namespace orlex;

namespace {

using orlex::test::TRecordingMessages;

struct TCapture {
    QString File;
    int Width;
    int Height;
};

}  // namespace

class TestScreenShots : public QObject {
    Q_OBJECT

    QTemporaryDir settingsDir_;
    QTemporaryDir work_;
    const QString title_ = QStringLiteral("ORLEX Shots Test");

    TOptions1 options_;
    TRecordingMessages messages_;
    std::vector<TCapture> captures_;
    std::vector<bool> seriesEvents_;
    QStringList saveDialogCalls_;  // "initialDir|fileName"
    QStringList dirChooserCalls_;  // startDir
    QString saveAnswer_;           // what the save dialog returns
    QString dirAnswer_;            // what the chooser returns
    bool captureFails_ = false;
    QSize view_{1000, 600};

    TShotHost Host() {
        TShotHost h;
        h.ChooseSaveFile = [this](const QString& dir, const QString& name) {
            saveDialogCalls_ << dir + "|" + name;
            return saveAnswer_;
        };
        h.ChooseDirectory = [this](const QString& start) {
            dirChooserCalls_ << start;
            return dirAnswer_;
        };
        h.Capture = [this](const QString& file, int w, int hh, QString* why) {
            captures_.push_back({file, w, hh});
            if (captureFails_) {
                *why = "disk on fire";
                return false;
            }
            return true;
        };
        h.ViewSize = [this] { return view_; };
        h.SeriesChanged = [this](bool on) { seriesEvents_.push_back(on); };
        h.Messages = &messages_;
        return h;
    }
    TShotState Loaded(int step) { return {true, work_.filePath("project/ferry.3dl"), step}; }
    QString Registry(const QString& key) {
        return QSettings(TAppSettings::Organisation(), title_).value(key).toString();
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
    }
    void init() {
        QSettings(TAppSettings::Organisation(), title_).clear();
        options_ = TOptions1();
        messages_ = TRecordingMessages();
        captures_.clear();
        seriesEvents_.clear();
        saveDialogCalls_.clear();
        dirChooserCalls_.clear();
        saveAnswer_.clear();
        dirAnswer_.clear();
        captureFails_ = false;
        view_ = QSize(1000, 600);
    }

    void formatShotNumber_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << "000000.jpg";
        QTest::newRow("137") << 137 << "000137.jpg";
        QTest::newRow("999999") << 999999 << "999999.jpg";
        QTest::newRow("1234567") << 1234567 << "1234567.jpg";
        QTest::newRow("-5") << -5 << "-000005.jpg";
        QTest::newRow("int min") << INT_MIN << "-2147483648.jpg";
    }
    void formatShotNumber() {
        QFETCH(int, n);
        QFETCH(QString, name);
        QCOMPARE(FormatShotNumber(n), name);
    }

    void shotSize_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("value");
        QTest::addColumn<QSize>("view");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("known");
        QTest::newRow("50% 1001x601") << 1 << 50 << QSize(1001, 601) << QSize(500, 300) << true;
        QTest::newRow("100%") << 1 << 100 << QSize(1000, 600) << QSize(1000, 600) << true;
        QTest::newRow("0%") << 1 << 0 << QSize(1000, 600) << QSize(1000, 600) << true;
        QTest::newRow("200%") << 1 << 200 << QSize(10, 6) << QSize(20, 12) << true;
        QTest::newRow("width 640") << 2 << 640 << QSize(1000, 600) << QSize(640, 384) << true;
        QTest::newRow("width 0") << 2 << 0 << QSize(1000, 600) << QSize(1000, 600) << true;
        QTest::newRow("width 1 gives h 0")
            << 2 << 1 << QSize(1000, 600) << QSize(1000, 600) << true;
        QTest::newRow("height 480") << 3 << 480 << QSize(1000, 600) << QSize(800, 480) << true;
        QTest::newRow("height 1 gives w 1") << 3 << 1 << QSize(1000, 600) << QSize(1, 1) << true;
        QTest::newRow("negative width") << 2 << -5 << QSize(1000, 600) << QSize(1000, 600) << true;
        QTest::newRow("negative percent")
            << 1 << -50 << QSize(1000, 600) << QSize(1000, 600) << true;
        QTest::newRow("view width 0") << 2 << 640 << QSize(0, 600) << QSize(0, 600) << true;
        QTest::newRow("huge percent")
            << 1 << INT_MAX << QSize(1000, 600) << QSize(1 << 30, 1 << 30) << true;
        QTest::newRow("unknown option") << 7 << 50 << QSize(1000, 600) << QSize(1000, 600) << false;
    }
    void shotSize() {
        QFETCH(int, option);
        QFETCH(int, value);
        QFETCH(QSize, view);
        QFETCH(QSize, size);
        QFETCH(bool, known);
        int w = -1, h = -1;
        QCOMPARE(ComputeShotSize(option, value, view.width(), view.height(), &w, &h), known);
        QCOMPARE(QSize(w, h), size);
    }

    void pathHelpers() {
        QCOMPARE(DirectoryPart("/a/b/c.3dl"), QString("/a/b/"));
        QCOMPARE(DirectoryPart("C:\\a\\c.3dl"), QString("C:\\a\\"));
        QCOMPARE(DirectoryPart("c.3dl"), QString());
        QCOMPARE(DirectoryPart(""), QString());
        QCOMPARE(JoinPath("/x", "1.jpg"), QString("/x/1.jpg"));
        QCOMPARE(JoinPath("/x/", "1.jpg"), QString("/x/1.jpg"));
        QCOMPARE(JoinPath("C:\\x\\", "1.jpg"), QString("C:\\x\\1.jpg"));
    }

    void targetsOfFixedOptions_data() {
        QTest::addColumn<int>("saveOption");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("expected");  // relative to work dir
        QTest::newRow("next to log file") << 1 << QString() << "project/000137.jpg";
        QTest::newRow("fixed directory") << 3 << "shots"
                                         << "shots/000137.jpg";
        QTest::newRow("fixed directory with separator") << 3 << "shots/"
                                                        << "shots/000137.jpg";
    }
    void targetsOfFixedOptions() {
        QFETCH(int, saveOption);
        QFETCH(QString, directory);
        QFETCH(QString, expected);
        options_.ScreenShotSaveOption = saveOption;
        options_.ScreenShotSaveDirectory =
            directory.isEmpty() ? QString() : work_.filePath(directory);
        TScreenShots shots(options_, title_, Host());
        shots.SingleShot(Loaded(137));
        QCOMPARE(captures_.size(), size_t(1));
        QCOMPARE(QDir::cleanPath(captures_[0].File), work_.filePath(expected));
        QCOMPARE(captures_[0].Width, 1000);
        QCOMPARE(captures_[0].Height, 600);
        QVERIFY(messages_.Messages.empty());
        QVERIFY(saveDialogCalls_.isEmpty());
    }

    void nothingWithoutProject() {
        TScreenShots shots(options_, title_, Host());
        shots.SingleShot({false, QString(), 0});
        QVERIFY(captures_.empty());
        QVERIFY(messages_.Messages.empty());
    }

    void saveDialogShot() {
        options_.ScreenShotSaveOption = 2;
        QSettings(TAppSettings::Organisation(), title_)
            .setValue("ScreenShotSaveDirectory", "/old/place/0001.jpg");
        saveAnswer_ = work_.filePath("picked/mine.jpg");
        TScreenShots shots(options_, title_, Host());
        shots.SingleShot(Loaded(42));
        QCOMPARE(saveDialogCalls_, QStringList{"/old/place/|000042.jpg"});
        QCOMPARE(captures_.size(), size_t(1));
        QCOMPARE(captures_[0].File, saveAnswer_);
        QCOMPARE(Registry("ScreenShotSaveDirectory"), saveAnswer_);
        QCOMPARE(options_.ScreenShotSaveDirectory, work_.filePath("picked") + "/");
    }

    void cancelledSaveDialogWritesNothing() {
        options_.ScreenShotSaveOption = 2;
        TScreenShots shots(options_, title_, Host());
        shots.SingleShot(Loaded(3));
        QCOMPARE(saveDialogCalls_.size(), 1);
        QVERIFY(captures_.empty());
        QVERIFY(messages_.Messages.empty());
        QVERIFY(
            !QSettings(TAppSettings::Organisation(), title_).contains("ScreenShotSaveDirectory"));
        QCOMPARE(options_.ScreenShotSaveDirectory, QString());
    }

    void unknownSaveOptionWritesNothing() {
        options_.ScreenShotSaveOption = 9;
        TScreenShots shots(options_, title_, Host());
        shots.SingleShot(Loaded(0));
        QVERIFY(captures_.empty());
        QCOMPARE(messages_.Messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(messages_.Messages[0].Text), ShotInternalErrorText());
        QCOMPARE(QString::fromStdString(messages_.Messages[0].Caption), QString("Error"));
    }

    void fixedDirectoryMissingIsRefused() {
        options_.ScreenShotSaveOption = 3;  // directory left empty
        TScreenShots shots(options_, title_, Host());
        shots.SingleShot(Loaded(0));
        QVERIFY(captures_.empty());
        QCOMPARE(messages_.Messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(messages_.Messages[0].Caption), QString("Error"));
    }

    void unknownResizeOptionWritesAtViewSize() {
        options_.ScreenShotResizeOption = 4;
        options_.ScreenShotResizeValue = 50;
        view_ = QSize(800, 500);
        TScreenShots shots(options_, title_, Host());
        shots.SingleShot(Loaded(0));
        QCOMPARE(messages_.Messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(messages_.Messages[0].Text), ShotInternalErrorText());
        QCOMPARE(captures_.size(), size_t(1));
        QCOMPARE(QSize(captures_[0].Width, captures_[0].Height), QSize(800, 500));
    }

    void overwriteQuestion_data() {
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("answer");  // TMsgResult
        QTest::addColumn<bool>("question");
        QTest::addColumn<bool>("written");
        QTest::newRow("not asked, exists") << false << true << int(TMsgResult::Ok) << false << true;
        QTest::newRow("asked, new file") << true << false << int(TMsgResult::Ok) << false << true;
        QTest::newRow("asked, ok") << true << true << int(TMsgResult::Ok) << true << true;
        QTest::newRow("asked, cancel") << true << true << int(TMsgResult::Cancel) << true << false;
    }
    void overwriteQuestion() {
        QFETCH(bool, asked);
        QFETCH(bool, exists);
        QFETCH(int, answer);
        QFETCH(bool, question);
        QFETCH(bool, written);
        QTemporaryDir dir;
        options_.ScreenShotSaveOption = 3;
        options_.ScreenShotSaveDirectory = dir.path();
        options_.IsOverwritingAsked = asked;
        if (exists) {
            QFile f(dir.filePath("000005.jpg"));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        messages_.Answers.push_back(TMsgResult(answer));
        TScreenShots shots(options_, title_, Host());
        shots.SingleShot(Loaded(5));
        QCOMPARE(messages_.Messages.size(), size_t(question ? 1 : 0));
        if (question) {
            QCOMPARE(QString::fromStdString(messages_.Messages[0].Text),
                     ShotOverwriteQuestionText());
            QCOMPARE(QString::fromStdString(messages_.Messages[0].Caption), QString("Warning"));
            QCOMPARE(messages_.Messages[0].Buttons, TMsgButtons::OkCancel);
        }
        QCOMPARE(captures_.size(), size_t(written ? 1 : 0));
    }

    void seriesUnderOptionTwo() {
        options_.ScreenShotSaveOption = 2;
        QSettings(TAppSettings::Organisation(), title_)
            .setValue("ScreenShotSaveDirectory", "/last/shot/000001.jpg");
        dirAnswer_ = work_.filePath("series");
        TScreenShots shots(options_, title_, Host());
        QVERIFY(shots.SetSeries(true));
        QCOMPARE(dirChooserCalls_, QStringList{"/last/shot/"});
        QCOMPARE(seriesEvents_, std::vector<bool>{true});
        for (int step = 0; step < 3; ++step) QVERIFY(shots.TakeScreenShot(Loaded(step)));
        // A single shot meanwhile goes into the series directory; the series goes on.
        shots.SingleShot(Loaded(7));
        QVERIFY(shots.Series());
        QVERIFY(shots.TakeScreenShot(Loaded(3)));
        QStringList files;
        for (const auto& c : captures_) files << c.File;
        const QString d = work_.filePath("series") + "/";
        QCOMPARE(files, (QStringList{d + "000000.jpg", d + "000001.jpg", d + "000002.jpg",
                                     d + "000007.jpg", d + "000003.jpg"}));
        QVERIFY(saveDialogCalls_.isEmpty());
        QVERIFY(messages_.Messages.empty());
        shots.SetSeries(false);
        QCOMPARE(seriesEvents_, (std::vector<bool>{true, false}));
    }

    void seriesDirectoryCancelled() {
        options_.ScreenShotSaveOption = 2;
        TScreenShots shots(options_, title_, Host());
        QVERIFY(!shots.SetSeries(true));
        QVERIFY(!shots.Series());
        QCOMPARE(dirChooserCalls_.size(), 1);
        QCOMPARE(seriesEvents_, std::vector<bool>{false});  // the button goes up
    }

    void seriesUnderOptionOneNeedsNoDirectory() {
        TScreenShots shots(options_, title_, Host());
        QVERIFY(shots.SetSeries(true));
        QVERIFY(dirChooserCalls_.isEmpty());
        QVERIFY(shots.TakeScreenShot(Loaded(11)));
        QCOMPARE(captures_.back().File, work_.filePath("project/000011.jpg"));
        shots.EndSeries();
        QVERIFY(!shots.Series());
    }

    void failedWriteShowsOneErrorAndEndsSeries() {
        TScreenShots shots(options_, title_, Host());
        shots.SetSeries(true);
        captureFails_ = true;
        QVERIFY(!shots.TakeScreenShot(Loaded(4)));
        QCOMPARE(messages_.Messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(messages_.Messages[0].Caption), QString("Error"));
        QCOMPARE(messages_.Messages[0].Icon, TMsgIcon::Error);
        QVERIFY(QString::fromStdString(messages_.Messages[0].Text).contains("000004.jpg"));
        QVERIFY(QString::fromStdString(messages_.Messages[0].Text).contains("disk on fire"));
        QVERIFY(!shots.Series());
        QCOMPARE(seriesEvents_, (std::vector<bool>{true, false}));
    }

    void unwritableTargetWithRealWriter() {
        options_.ScreenShotSaveOption = 3;
        options_.ScreenShotSaveDirectory = work_.filePath("does/not/exist");
        TShotHost host = Host();
        host.Capture = [](const QString& file, int w, int h, QString* why) {
            TRgbImage img(w, h);
            return WriteJpegFile(file, img, why);
        };
        view_ = QSize(16, 16);
        TScreenShots shots(options_, title_, host);
        shots.SingleShot(Loaded(1));
        QCOMPARE(messages_.Messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(messages_.Messages[0].Caption), QString("Error"));
        QVERIFY(QString::fromStdString(messages_.Messages[0].Text).contains("000001.jpg"));
        QVERIFY(!QFile::exists(work_.filePath("does/not/exist/000001.jpg")));
    }

    void busyWhileQuestionIsOpen() {
        QTemporaryDir dir;
        options_.ScreenShotSaveOption = 3;
        options_.ScreenShotSaveDirectory = dir.path();
        options_.IsOverwritingAsked = true;
        QFile f(dir.filePath("000000.jpg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        TScreenShots shots(options_, title_, Host());
        shots.SetSeries(true);
        bool busySeen = false;
        bool nestedTook = true;
        messages_.WhileOpen = [&] {
            busySeen = shots.Busy();
            nestedTook = shots.TakeScreenShot(Loaded(1));  // a tick arriving meanwhile
        };
        QVERIFY(shots.TakeScreenShot(Loaded(0)));
        QVERIFY(busySeen);
        QVERIFY(!nestedTook);
        QVERIFY(!shots.Busy());
        QCOMPARE(messages_.Messages.size(), size_t(1));
        QCOMPARE(captures_.size(), size_t(1));
    }

    void optionsRecordRoundTrip() {
        TOptions1 fresh;
        fresh.LoadFromRegistry(title_);
        QCOMPARE(fresh, TOptions1());
        TOptions1 o;
        o.ScreenShotSaveDirectory = "/d";
        o.IsOverwritingAsked = true;
        o.ScreenShotSaveOption = 5;  // out of range: kept
        o.ScreenShotResizeOption = 3;
        o.ScreenShotResizeValue = 250;
        QVERIFY(o.SaveToRegistry(title_));
        TOptions1 back;
        back.LoadFromRegistry(title_);
        QCOMPARE(back, o);
        QSettings(TAppSettings::Organisation(), title_).setValue("ScreenShotResizeValue", "big");
        back.LoadFromRegistry(title_);
        QCOMPARE(back.ScreenShotResizeValue, 100);
        QCOMPARE(back.ScreenShotResizeOption, 3);
    }
};

QTEST_GUILESS_MAIN(TestScreenShots)
#include "test_screenshots.moc"
