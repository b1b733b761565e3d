#pragma once

#include <QWidget>
#include <optional>
#include <vector>

class QChart;
class QChartView;
class QLineSeries;
class QScatterSeries;

namespace qinglan {

// "局势图": the evaluation of each position of the main line as a line chart, red's
// view in pawns; a click on the chart asks for the nearest position.
class EvaluationChart : public QWidget {
    Q_OBJECT
public:
    explicit EvaluationChart(QWidget* owner);

    // One score per position, the start first; unknown positions leave a gap.
    void setScores(const std::vector<std::optional<double>>& scores);
    // The positions known, as the chart holds them (index, pawns).
    QList<QPointF> points() const;
    // What a click at that value of the x axis asks for: the nearest position.
    void clickAt(double x);

signals:
    void positionClicked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QChart* chart_;
    QChartView* view_;
    QLineSeries* line_;
    QScatterSeries* dots_;
    int positions_ = 0;
};

} // namespace qinglan
