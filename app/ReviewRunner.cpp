#include "app/ReviewRunner.h"

#include "analysis/PositionScores.h"
#include "game/Game.h"

#include <QProgressDialog>

namespace qinglan {

ReviewRunner::ReviewRunner(Game& game, PositionScores& scores, QWidget* owner)
    : QObject(owner)
    , game_(game)
    , scores_(scores)
    , owner_(owner) { }

ReviewRunner::~ReviewRunner() {
    if (review_) review_->cancel(game_.studyEngine());
    delete progress_;
}

bool ReviewRunner::start(const SearchLimits& limits) {
    EngineProcess& engine = game_.studyEngine();
    const GameRecord& record = game_.state().record.game;
    if (review_ || !engine.isRunning() || record.mainLine().empty()) return false;
    // A game under review is not played: no side is the computer's, no engine searches.
    game_.flow().setComputerSides(false, false);
    game_.flow().stopEngines(GameReview::STOP_GRACE_MS);
    engine.clearReply();
    review_ = std::make_unique<GameReview>(record, limits);
    progress_ = new QProgressDialog(QStringLiteral("正在分析每一个局面……"), QStringLiteral("取消"),
        0, review_->total(), owner_);
    progress_->setWindowTitle(QStringLiteral("全局分析"));
    progress_->setWindowModality(Qt::WindowModal); // the game stays as it is meanwhile
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    connect(progress_, &QProgressDialog::canceled, this, &ReviewRunner::cancel);
    progress_->show();
    return true;
}

void ReviewRunner::tick() {
    if (!review_) return;
    const bool going = review_->step(game_.studyEngine());
    if (progress_) progress_->setValue(review_->done());
    if (!going) finish();
}

void ReviewRunner::cancel() {
    if (!review_) return;
    review_->cancel(game_.studyEngine());
    finish();
}

void ReviewRunner::finish() {
    const std::unique_ptr<GameReview> review = std::move(review_);
    game_.studyEngine().clearReply();
    game_.flow().records().edit([&review](GameRecord& record) { review->annotate(record); });
    scores_.learn(game_.state().record.game, review->verdicts());
    if (progress_) {
        progress_->disconnect(this);
        progress_->close();
        progress_->deleteLater();
    }
    emit finished(review->failed());
}

} // namespace qinglan
