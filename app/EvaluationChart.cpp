#include "app/EvaluationChart.h"

#include "analysis/AnalysisScore.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

namespace qinglan {

EvaluationChart::EvaluationChart(QWidget* owner)
    : QWidget(owner, Qt::Tool)
    , chart_(new QChart)
    , view_(new QChartView(chart_, this))
    , line_(new QLineSeries(chart_))
    , dots_(new QScatterSeries(chart_)) {
    setWindowTitle(QStringLiteral("局势图"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(560, 300);
    chart_->legend()->hide();
    chart_->addSeries(line_);
    chart_->addSeries(dots_);
    // Small enough that the line shows between the points of a long game.
    dots_->setMarkerSize(4);
    line_->setPen(QPen(QColor(190, 40, 40), 2));
    dots_->setColor(QColor(190, 40, 40));
    auto* moves = new QValueAxis(chart_);
    moves->setTitleText(QStringLiteral("半回合"));
    moves->setLabelFormat(QStringLiteral("%d"));
    auto* pawns = new QValueAxis(chart_);
    pawns->setTitleText(QStringLiteral("红方优势（兵）"));
    pawns->setRange(-CHART_LIMIT_PAWNS, CHART_LIMIT_PAWNS);
    chart_->addAxis(moves, Qt::AlignBottom);
    chart_->addAxis(pawns, Qt::AlignLeft);
    for (QXYSeries* series : { static_cast<QXYSeries*>(line_), static_cast<QXYSeries*>(dots_) }) {
        series->attachAxis(moves);
        series->attachAxis(pawns);
    }
    view_->setRenderHint(QPainter::Antialiasing);
    // Anywhere on the plot counts, not just on the line.
    view_->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
}

void EvaluationChart::setScores(const std::vector<std::optional<double>>& scores) {
    QList<QPointF> known;
    for (std::size_t i = 0; i < scores.size(); ++i)
        if (scores[i]) known.append(QPointF(static_cast<double>(i), *scores[i]));
    line_->replace(known);
    dots_->replace(known);
    positions_ = static_cast<int>(scores.size());
    chart_->axes(Qt::Horizontal).front()->setRange(0, std::max(1, positions_ - 1));
}

bool EvaluationChart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (chart_->plotArea().contains(view_->mapToScene(at)))
            clickAt(chart_->mapToValue(chart_->mapFromScene(view_->mapToScene(at)), line_).x());
    }
    return QWidget::eventFilter(watched, event);
}

QList<QPointF> EvaluationChart::points() const {
    return line_->points();
}

void EvaluationChart::clickAt(double x) {
    const int index = static_cast<int>(std::lround(x));
    if (index >= 0 && index < positions_) emit positionClicked(index);
}

} // namespace qinglan
