// The application object: errors that reach the event loop are shown in a box
// captioned with the application title and the program goes on; the caption of
// the main window as the window system shows it.
#include <QtTest>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "mainform.h"
#include "qtsupport.h"
#include "viewerapplication.h"

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

using namespace orlex;

namespace {

// Throws from its event handler, as a command with an unexpected error would.
class TThrower : public QObject {
public:
    std::string What;
    bool Unknown = false;
    int Handled = 0;
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        ++Handled;
        if (Unknown) throw 42;
        throw std::runtime_error(What);
    }
};

// The caption that the window system holds for the window, with whatever the
// platform added to it; empty where it cannot be read.
QString PlatformTitle(QWidget& window) {
#if defined(Q_OS_WIN)
    wchar_t text[1024] = {};
    GetWindowTextW(reinterpret_cast<HWND>(window.winId()), text, 1024);
    return QString::fromWCharArray(text);
#elif defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) return {};
    xcb_connection_t* connection = x11->connection();
    const char* const name = "_NET_WM_NAME";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, std::strlen(name), name), nullptr);
    if (atom == nullptr) return {};
    // Asked on Qt's own connection, so the answer comes after its last change.
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, static_cast<xcb_window_t>(window.winId()), atom->atom,
                         XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
        nullptr);
    std::free(atom);
    if (reply == nullptr) return {};
    const QString title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                            xcb_get_property_value_length(reply));
    std::free(reply);
    return title;
#else
    (void)window;
    return {};
#endif
}

}  // namespace

class TestApplication : public QObject {
    Q_OBJECT
    test::TRecordingMessages Messages_;

    TViewerApplication* App() { return static_cast<TViewerApplication*>(qApp); }

private slots:
    void initTestCase() {
        QVERIFY(dynamic_cast<TViewerApplication*>(qApp) != nullptr);
        App()->SetMessages(&Messages_);
        QCOMPARE(QCoreApplication::applicationName(), QString("ORLEX Viewer"));
        QCOMPARE(QCoreApplication::organizationName(), QString("Quenwick"));
    }

    void FullStopRule_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Out of memory"
                                << "Out of memory.";
        QTest::newRow("digit") << "Error 42"
                               << "Error 42.";
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("bracket") << "Failed (see above)"
                                 << "Failed (see above)";
        QTest::newRow("exclamation") << "Stop!"
                                     << "Stop!";
        QTest::newRow("slash") << "path/"
                               << "path/.";
        QTest::newRow("colon") << "file:"
                               << "file:.";
        QTest::newRow("comma") << "a,"
                               << "a,";
        QTest::newRow("non-ASCII") << QString::fromUtf8("Größe") << QString::fromUtf8("Größe.");
        QTest::newRow("empty") << ""
                               << "";
    }
    void FullStopRule() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorMessageText(message), shown);
    }

    void ErrorInAnEventIsShownAndTheLoopGoesOn() {
        TThrower thrower;
        thrower.What = "Something broke";
        Messages_.Messages.clear();
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(thrower.Handled, 1);
        QCOMPARE(Messages_.Messages.size(), std::size_t{1});
        QCOMPARE(Messages_.Messages[0].Text, std::string("Something broke."));
        QCOMPARE(Messages_.Messages[0].Caption, std::string("ORLEX Viewer"));
        QVERIFY(Messages_.Messages[0].Icon == TMsgIcon::Error);

        // The next event is still delivered, and errors of any kind are caught.
        thrower.Unknown = true;
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(thrower.Handled, 2);
        QCOMPARE(Messages_.Messages.size(), std::size_t{2});
        QCOMPARE(Messages_.Messages[1].Caption, std::string("ORLEX Viewer"));
    }

    // The window system gets the caption as it is, with nothing appended.
    void CaptionAsTheWindowSystemHasIt() {
        test::TTempSettings settings;
        QTemporaryDir files;
        const QString first =
            test::WriteFile(files.path(), "ship.3dl", test::ProjectText({"A"}, 2, {"P4x0S"}));
        const QString second = test::WriteFile(files.path(), "ORLEX Viewer.3dl",
                                               test::ProjectText({"B"}, 2, {"P4x0S"}));
        Messages_.Messages.clear();
        TMainForm form(&Messages_);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString platform = QGuiApplication::platformName();
        const bool readable = platform == "xcb" || platform == "windows";

        struct Step {
            QString load;
            QString caption;
        };
        const Step steps[] = {
            {QString(), "ORLEX Viewer"},
            {first, "ORLEX Viewer, " + first},
            {second, "ORLEX Viewer, " + second},
            {files.filePath("gone.3dl"), "ORLEX Viewer, " + second},
        };
        for (const Step& step : steps) {
            if (!step.load.isEmpty()) form.LoadLogFile(step.load);
            QCOMPARE(form.windowTitle(), step.caption);
            QVERIFY(form.windowHandle() != nullptr);
            QCOMPARE(form.windowHandle()->title(), step.caption);
            if (readable) QTRY_COMPARE(PlatformTitle(form), step.caption);
        }
        QCOMPARE(Messages_.Messages.size(), std::size_t{1});  // "Cannot open file"
        if (!readable) QSKIP("the window system's caption cannot be read on this platform");
    }
};

int main(int argc, char** argv) {
    TViewerApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_application.moc"
