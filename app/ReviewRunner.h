#pragma once

#include "analysis/GameReview.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <memory>
class QWidget;

namespace qinglan {

class Game;
class PositionScores;

// "全局分析" under way: the main engine reviews the record's main line, one step per
// heartbeat, with a progress box whose cancel button ends it. The record gets what was
// learnt, complete or not, when it ends.
class ReviewRunner : public QObject {
    Q_OBJECT
public:
    ReviewRunner(Game& game, PositionScores& scores, QWidget* owner);
    ~ReviewRunner() override;

    // Starts a review of the record shown; the game stops playing first. False when
    // there is no main engine or no move to review.
    bool start(const SearchLimits& limits);
    bool running() const { return review_ != nullptr; }
    // The heartbeat's duty.
    void tick();
    void cancel();
    QProgressDialog* progress() const { return progress_; }

signals:
    // The review ended and the record holds its notes.
    void finished(bool failed);

private:
    void finish();

    Game& game_;
    PositionScores& scores_;
    QWidget* owner_;
    std::unique_ptr<GameReview> review_;
    QPointer<QProgressDialog> progress_;
};

} // namespace qinglan
