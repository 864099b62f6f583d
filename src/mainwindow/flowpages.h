// The pages of the "Analysis" panel for the exits and the measurements: the exits
// with the time each deck is clear, the flows over time, the persons crossing each
// line (N-t), the density and speed in each area, and the fundamental diagram.
#pragma once

#include <QChartView>
#include <QLabel>
#include <QStringList>
#include <QTabWidget>
#include <QTableWidget>

#include "result.h"

namespace orlex {

class TFlowPages {
public:
    // Adds the pages to tabs.
    explicit TFlowPages(QTabWidget* tabs);

    void SetResult(const TAnalysisResult& result, const QStringList& captions);
    void Clear();

    QTableWidget* Exits() const { return Exits_; }
    QTableWidget* Lines() const { return Lines_; }
    QChart* FlowChart() const { return Flow_->chart(); }
    QChart* CrossingChart() const { return Crossing_->chart(); }
    QChart* DensityChart() const { return Density_->chart(); }
    QChart* SpeedChart() const { return Speed_->chart(); }
    QChart* SpeedDiagram() const { return SpeedDiagram_->chart(); }
    QChart* FlowDiagram() const { return FlowDiagram_->chart(); }
    QString ExitsNote() const { return ExitsNote_->text(); }

private:
    void FillExits(const TAnalysisResult& r, const QStringList& captions);
    void FillLines(const TAnalysisResult& r, const QStringList& captions);
    void FillFlows(const TAnalysisResult& r);
    void FillAreas(const TAnalysisResult& r);
    void FillDiagrams(const TAnalysisResult& r);

    QTableWidget* Exits_ = nullptr;
    QLabel* ExitsNote_ = nullptr;
    QTableWidget* Lines_ = nullptr;
    QChartView* Flow_ = nullptr;
    QChartView* Crossing_ = nullptr;
    QChartView* Density_ = nullptr;
    QChartView* Speed_ = nullptr;
    QChartView* SpeedDiagram_ = nullptr;
    QChartView* FlowDiagram_ = nullptr;
    std::vector<QLabel*> Legends_;  // below each chart, in the order above
};

}  // namespace orlex
