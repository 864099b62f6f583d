// The analysis worker: its result equals a direct run, progress and the result
// arrive on the UI thread, and cancelling a running analysis waits for it and
// drops its signals.
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include "analysisrunner.h"
#include "jsonwriter.h"
#include "projects.h"
#include "projectsession.h"

using namespace orlex;
using orlex::test::LoadText;
using orlex::test::ProjectText;

Q_DECLARE_METATYPE(std::shared_ptr<const orlex::TAnalysisResult>)

namespace {

// persons walking back and forth for steps steps: long enough that a run is still
// going when the test cancels it.
std::string BusyProject(int persons, int steps) {
    std::string track;
    for (int i = 0; i < steps / 2; ++i) track += "37";
    return ProjectText({"Lower", "Upper"}, 4, std::vector<std::string>(persons, track + "S"));
}

}  // namespace

class TestAnalysisRunner : public QObject {
    Q_OBJECT

private slots:
    void ResultEqualsDirectRun() {
        const auto loaded = LoadText(BusyProject(30, 200));
        const auto direct = TEvacuationAnalysis(*loaded.Project, {}).Run();
        QVERIFY(direct);
        TAnalysisRunner runner;
        bool onUiThread = true;
        QList<int> percents;
        connect(&runner, &TAnalysisRunner::Progress, this, [&](int percent) {
            onUiThread = onUiThread && QThread::currentThread() == thread();
            percents << percent;
        });
        std::shared_ptr<const TAnalysisResult> result;
        int finished = 0;
        connect(&runner, &TAnalysisRunner::Finished, this,
                [&](std::shared_ptr<const TAnalysisResult> r) {
                    onUiThread = onUiThread && QThread::currentThread() == thread();
                    result = std::move(r);
                    ++finished;
                });
        runner.Start(*loaded.Project, {});
        QTRY_COMPARE(finished, 1);
        QVERIFY(result);
        QCOMPARE(AnalysisJson(*result), AnalysisJson(*direct));
        QCOMPARE(result->Maps.size(), direct->Maps.size());
        for (std::size_t z = 0; z < direct->Maps.size(); ++z) {
            QVERIFY(result->Maps[z].PeakCount == direct->Maps[z].PeakCount);
            QVERIFY(result->Maps[z].StepsAbove == direct->Maps[z].StepsAbove);
            QVERIFY(result->Maps[z].UsageSteps == direct->Maps[z].UsageSteps);
        }
        QVERIFY(onUiThread);
        QVERIFY(!percents.isEmpty());
        // Each percentage once, rising.
        for (int i = 1; i < percents.size(); ++i) QVERIFY(percents[i] > percents[i - 1]);
        QVERIFY(!runner.IsRunning());
    }

    void BadSettingsFinishWithoutResult() {
        const auto loaded = LoadText(orlex::test::kExampleFile);
        TAnalysisRunner runner;
        QSignalSpy finished(&runner, &TAnalysisRunner::Finished);
        TAnalysisSettings settings;
        settings.Window = 4;
        runner.Start(*loaded.Project, settings);
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(!finished.at(0).at(0).value<std::shared_ptr<const TAnalysisResult>>());
    }

    void CancelAndJoinWhileRunning() {
        const auto loaded = LoadText(BusyProject(400, 20000));
        TAnalysisRunner runner;
        QSignalSpy progress(&runner, &TAnalysisRunner::Progress);
        QSignalSpy finished(&runner, &TAnalysisRunner::Finished);
        runner.Start(*loaded.Project, {});
        QVERIFY(runner.IsRunning());
        QTRY_VERIFY(progress.count() > 0);
        runner.CancelAndJoin();
        QVERIFY(!runner.IsRunning());
        const int seen = progress.count();
        QCoreApplication::processEvents();
        QCOMPARE(finished.count(), 0);
        QCOMPARE(progress.count(), seen);
    }

    void StartingAgainReplacesTheRun() {
        const auto busy = LoadText(BusyProject(400, 20000));
        const auto small = LoadText(orlex::test::kExampleFile);
        TAnalysisRunner runner;
        QList<std::shared_ptr<const TAnalysisResult>> results;
        connect(&runner, &TAnalysisRunner::Finished, this,
                [&](std::shared_ptr<const TAnalysisResult> r) { results << r; });
        runner.Start(*busy.Project, {});
        runner.Start(*small.Project, {});
        QTRY_COMPARE(results.size(), 1);
        QCOMPARE(results.front()->Persons, 2);
        QCoreApplication::processEvents();
        QCOMPARE(results.size(), 1);
    }

    // As the window registers it: a new load releases the project, which cancels the
    // run and waits for it before the project goes (ASan catches a late read).
    void ReleaseOfTheSessionCancelsFirst() {
        TProjectSession session;
        TAnalysisRunner runner;
        session.AddReader([&runner] { runner.CancelAndJoin(); });
        const std::string text = BusyProject(400, 20000);
        orlex::test::TRecorder recorder;
        for (int load = 0; load < 2; ++load) {
            TLogFile1& project = session.Create("Deck");  // releases the one before
            QVERIFY(project.LoadFromMemory(text.data(), text.size(), recorder, recorder));
            QSignalSpy progress(&runner, &TAnalysisRunner::Progress);
            runner.Start(project, {});
            QTRY_VERIFY(progress.count() > 0);
        }
        QVERIFY(session.Release());
        QVERIFY(!runner.IsRunning());
    }

    void DestroyingWhileRunning() {
        const auto loaded = LoadText(BusyProject(400, 20000));
        auto runner = std::make_unique<TAnalysisRunner>();
        runner->Start(*loaded.Project, {});
        runner.reset();  // joins before the project goes
        QCoreApplication::processEvents();
    }

    void ProgressText() {
        QCOMPARE(TAnalysisRunner::ProgressText(42), QString("Analysing... 42 %"));
        QCOMPARE(TAnalysisRunner::ProgressText(0), QString("Analysing... 0 %"));
    }
};

QTEST_MAIN(TestAnalysisRunner)
#include "test_analysisrunner.moc"
