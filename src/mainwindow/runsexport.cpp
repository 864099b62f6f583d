#include "runsexport.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <thread>

#include "pdfreport.h"
#include "runset.h"
#include "runsreport.h"

namespace orlex {

namespace {

TRunsExport Fail(IMessages& messages, const QString& path, const QString& reason) {
    messages.ShowMessage(QStringLiteral("Cannot write the report over runs to\n%1:\n%2")
                             .arg(path, reason)
                             .toStdString(),
                         "Error", TMsgIcon::Error, TMsgButtons::Ok);
    return TRunsExport::Failed;
}

// Runs the analysis of the files on a worker thread; the dialog shows the files done
// and its Cancel stops the work after the files under way.
stats::TRunSet AnalyseUnderDialog(QWidget* parent, const stats::TRunSetRequest& request) {
    stats::TRunSetControl control;
    stats::TRunSet set;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        set = stats::AnalyseRunSet(request, &control);
        finished.store(true);
    });
    const int files = static_cast<int>(request.Files.size());
    QProgressDialog dialog(QStringLiteral("Analysing %1 runs...").arg(files),
                           QStringLiteral("Cancel"), 0, files, parent);
    dialog.setObjectName("RunsReportProgress");
    dialog.setWindowTitle(QStringLiteral("Export report over runs"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(500);
    QObject::connect(&dialog, &QProgressDialog::canceled, [&] { control.Cancel.store(true); });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!control.Cancel.load()) dialog.setValue(static_cast<int>(control.Done.load()));
        if (finished.load()) loop.quit();
    });
    poll.start(30);
    if (!finished.load()) loop.exec();
    worker.join();
    return set;
}

}  // namespace

TRunsExport ExportRunsReport(QWidget* parent, const QStringList& files, const QString& path,
                             const TAnalysisSettings& settings, IMessages& messages,
                             const QString& shown, QString& done) {
    stats::TRunSetRequest request;
    for (const QString& file : files) request.Files.push_back(file.toStdString());
    request.Settings = settings;
    const stats::TRunSet set = AnalyseUnderDialog(parent, request);
    if (set.Cancelled) return TRunsExport::Cancelled;
    if (!set.Statistics) {
        // The first reasons; the rest are alike as a rule.
        QStringList why;
        for (const stats::TRunSummary& run : set.Runs) {
            if (why.size() == 8) {
                why << QStringLiteral("and %1 more").arg(set.Runs.size() - 8);
                break;
            }
            why << QString::fromStdString(run.File + ": " + stats::RunNote(run));
        }
        return Fail(messages, path,
                    QStringLiteral("No run can be used.\n") + why.join(QStringLiteral("\n")));
    }
    QString why;
    if (!SaveAtomically(
            path, [&](QIODevice& device) { return WriteRunsPdf(device, set, settings); }, why))
        return Fail(messages, path, why);
    std::size_t leftOut = 0;
    for (const stats::TRunSummary& run : set.Runs)
        leftOut += run.Status != stats::TRunStatus::Used ? 1 : 0;
    done = QStringLiteral("Report over %1 runs written to %2").arg(set.Statistics->N).arg(shown);
    if (leftOut > 0) done += QStringLiteral(" (%1 left out, named in the report)").arg(leftOut);
    return TRunsExport::Written;
}

}  // namespace orlex
