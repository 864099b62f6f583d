#include "analysisrunner.h"

#include <QMetaObject>

namespace orlex {

namespace {

// Forwards the run's progress, once per new percentage, so the UI thread gets at
// most about a hundred events per run.
class TPostingProgress final : public IAnalysisProgress {
public:
    explicit TPostingProgress(std::function<void(int)> post) : Post_(std::move(post)) {}
    void SetPosition(int percent) override {
        if (percent == Last_) return;
        Last_ = percent;
        Post_(percent);
    }

private:
    std::function<void(int)> Post_;
    int Last_ = -1;
};

}  // namespace

TAnalysisRunner::TAnalysisRunner(QObject* parent) : QObject(parent) {}

TAnalysisRunner::~TAnalysisRunner() {
    CancelAndJoin();
}

QString TAnalysisRunner::ProgressText(int percent) {
    return QStringLiteral("Analysing... %1 %").arg(percent);
}

void TAnalysisRunner::Start(const TLogFile1& project, const TAnalysisSettings& settings,
                            const TAnalysisOptions& options) {
    CancelAndJoin();
    const int generation = Generation_.load();
    TAnalysisOptions own = options;
    if (options.Measures) {
        Measures_ = *options.Measures;
        own.Measures = &Measures_;
    }
    Analysis_ = std::make_unique<TEvacuationAnalysis>(project, settings, own);
    Done_.store(false);
    TEvacuationAnalysis* analysis = Analysis_.get();
    Worker_ = std::thread([this, analysis, generation] {
        TPostingProgress progress([this, generation](int p) { Post(generation, p); });
        std::shared_ptr<const TAnalysisResult> result = analysis->Run(&progress);
        if (!analysis->IsCancelled()) Deliver(generation, std::move(result));
        Done_.store(true);
    });
}

void TAnalysisRunner::CancelAndJoin() {
    // Signals already queued by the old run are dropped by their generation.
    Generation_.fetch_add(1);
    if (Analysis_) Analysis_->Cancel();
    if (Worker_.joinable()) Worker_.join();
    Analysis_.reset();
    Done_.store(true);
}

void TAnalysisRunner::Post(int generation, int percent) {
    QMetaObject::invokeMethod(
        this,
        [this, generation, percent] {
            if (generation == Generation_.load()) emit Progress(percent);
        },
        Qt::QueuedConnection);
}

void TAnalysisRunner::Deliver(int generation, std::shared_ptr<const TAnalysisResult> result) {
    QMetaObject::invokeMethod(
        this,
        [this, generation, result = std::move(result)] {
            if (generation != Generation_.load()) return;
            // The worker has finished its work; join it so IsRunning turns false.
            if (Worker_.joinable()) Worker_.join();
            Analysis_.reset();
            emit Finished(result);
        },
        Qt::QueuedConnection);
}

}  // namespace orlex
