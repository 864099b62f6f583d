// Errors that reach the event loop: shown in a box captioned with the
// application title, and the program goes on.
#include <QtTest>
#include <stdexcept>

#include "testsupport.h"
#include "viewerapplication.h"

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
        Messages_.Shown.clear();
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(thrower.Handled, 1);
        QCOMPARE(Messages_.Shown.size(), std::size_t{1});
        QCOMPARE(Messages_.Shown[0].Text, std::string("Something broke."));
        QCOMPARE(Messages_.Shown[0].Caption, std::string("ORLEX Viewer"));
        QVERIFY(Messages_.Shown[0].Icon == TMsgIcon::Error);

        // The next event is still delivered, and errors of any kind are caught.
        thrower.Unknown = true;
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(thrower.Handled, 2);
        QCOMPARE(Messages_.Shown.size(), std::size_t{2});
        QCOMPARE(Messages_.Shown[1].Caption, std::string("ORLEX Viewer"));
    }
};

int main(int argc, char** argv) {
    TViewerApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_application.moc"
