// The main window's analysis commands: the analysis mode and its lines, hints, the
// whole-game review and the evaluation chart.
#include "app/AnalysisController.h"
#include "app/BoardView.h"
#include "app/EvaluationChart.h"
#include "app/MainWindow.h"
#include "app/MoveArrow.h"
#include "app/ReviewRunner.h"
#include "app/dialogs/ReviewDialog.h"
#include "platform/DialogRunner.h"

#include <QAction>

namespace qinglan {

void MainWindow::connectAnalysisMenus() {
    const MainMenus& m = menus_;
    connect(m.bestMoveArrow, &QAction::triggered, arrow_, &MoveArrow::setEnabledByUser);
    connect(m.analysisMode, &QAction::triggered, this, &MainWindow::setAnalysing);
    for (QAction* choice : m.analysisLines)
        connect(choice, &QAction::triggered, this,
            [this, choice] { analysis_->setLines(choice->data().toInt()); });
    connect(m.hint, &QAction::triggered, this, [this] { analysis_->hint(); });
    connect(m.reviewGame, &QAction::triggered, this, &MainWindow::openReviewDialog);
    connect(m.evaluationChart, &QAction::triggered, this, &MainWindow::toggleEvaluationChart);
    connect(analysis_, &AnalysisController::analysisEnded, this,
        [this] { menus_.analysisMode->setChecked(false); });
    connect(analysis_, &AnalysisController::linesChanged, this, &MainWindow::noteAnalysisScore);
    // A browsing key restarts the study at once rather than at the next heartbeat.
    connect(view_, &BoardView::redrawn, analysis_, &AnalysisController::tick);
    connect(review_, &ReviewRunner::finished, this, [this](bool failed) {
        moveListChanged();
        if (failed) showMessage("引擎没有回应，全局分析提前结束；已分析的局面保留在棋谱中。");
    });
}

void MainWindow::setAnalysing(bool on) {
    if (on && review_->running()) {
        menus_.analysisMode->setChecked(false);
        return;
    }
    if (on && !game_.isEngineRunning(true)) {
        menus_.analysisMode->setChecked(false);
        showMessage("分析需要先加载主引擎。");
        return;
    }
    if (on && !thinkingWindow_) toggleThinkingWindow();
    const bool done = analysis_->setAnalysing(on);
    if (on && done) {
        menus_.computerRed->setChecked(false);
        menus_.computerBlack->setChecked(false);
    }
    menus_.analysisMode->setChecked(analysis_->analysing());
}

void MainWindow::noteAnalysisScore() {
    const std::vector<ThinkingLine>& lines = analysis_->live().lines();
    if (lines.empty() || !lines.front().score) return;
    scores_.learn(game_.state().board, *lines.front().score);
    refreshEvaluationChart();
}

void MainWindow::openReviewDialog() {
    if (review_->running()) return;
    if (!game_.isEngineRunning(true)) {
        showMessage("全局分析需要先加载主引擎。");
        return;
    }
    if (game_.state().record.game.mainLine().empty()) {
        showMessage("棋谱中还没有着法。");
        return;
    }
    ReviewDialog dialog(this);
    if (runModalDialog(dialog) != QDialog::Accepted) return;
    setAnalysing(false);
    menus_.computerRed->setChecked(false);
    menus_.computerBlack->setChecked(false);
    review_->start(dialog.choice());
}

void MainWindow::toggleEvaluationChart() {
    if (chart_) {
        chart_->close();
        return;
    }
    chart_ = new EvaluationChart(this);
    connect(
        chart_, &QObject::destroyed, this, [this] { menus_.evaluationChart->setChecked(false); });
    connect(chart_, &EvaluationChart::positionClicked, this, [this](int index) {
        const std::vector<int> line = game_.state().record.game.mainLine();
        game_.flow().browseTo(
            index == 0 ? GameRecord::ROOT : line[static_cast<std::size_t>(index - 1)]);
    });
    refreshEvaluationChart();
    chart_->show();
    menus_.evaluationChart->setChecked(true);
}

void MainWindow::refreshEvaluationChart() {
    if (chart_) chart_->setScores(scores_.mainLine(game_.state().record.game));
}

} // namespace qinglan
