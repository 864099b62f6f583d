// Runs the evacuation analysis of the loaded project on a worker thread and hands
// its progress and result to the UI thread.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <thread>

#include "analysis.h"

namespace orlex {

class TAnalysisRunner : public QObject {
    Q_OBJECT
public:
    explicit TAnalysisRunner(QObject* parent = nullptr);
    ~TAnalysisRunner() override;  // cancels and joins

    // Starts the analysis of project, cancelling (and joining) a run in progress.
    // The project must stay loaded and unchanged until Finished or CancelAndJoin;
    // the measurements that options names are copied, so they may change at once.
    void Start(const TLogFile1& project, const TAnalysisSettings& settings,
               const TAnalysisOptions& options = {});
    // Cancels the run in progress, if any, and waits until its thread has ended.
    // Progress and Finished of that run are not emitted afterwards.
    void CancelAndJoin();
    bool IsRunning() const { return Worker_.joinable() && !Done_.load(); }

    // The status bar text of a run at percent: "Analysing... 42 %".
    static QString ProgressText(int percent);

signals:
    // On the UI thread, only when the percentage changes.
    void Progress(int percent);
    // On the UI thread, once per run that was not cancelled; result is null when the
    // settings were out of range.
    void Finished(std::shared_ptr<const orlex::TAnalysisResult> result);

private:
    void Post(int generation, int percent);
    void Deliver(int generation, std::shared_ptr<const TAnalysisResult> result);

    std::unique_ptr<TEvacuationAnalysis> Analysis_;
    TMeasureSet Measures_;  // the run's own copy
    std::thread Worker_;
    std::atomic<bool> Done_{true};
    std::atomic<int> Generation_{0};  // the run whose signals are still wanted
};

}  // namespace orlex
