#pragma once

#include "analysis/LiveAnalysis.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

namespace qinglan {

class Game;
class MoveArrow;
class ThinkingDisplay;

// The main engine studying the position shown ("分析模式") or looking for a hint
// ("提示"), driven by the window's heartbeat. While either runs, the main engine's
// replies are read here, never by the game: nothing is played.
class AnalysisController : public QObject {
    Q_OBJECT
public:
    // A hint searches at most this long, less when the level's time per move is shorter.
    static constexpr std::int64_t HINT_MS = 1000;

    AnalysisController(Game& game, MoveArrow& arrow, std::function<ThinkingDisplay*()> display,
        QObject* parent = nullptr);

    // On: the computer sides are turned off (so no engine plays) and the main engine
    // studies the position shown; off: the engine is stopped. False when there is no
    // main engine to analyse with.
    bool setAnalysing(bool on);
    bool analysing() const { return live_.active(); }
    void setLines(int lines);
    int lines() const { return live_.lineCount(); }
    // For a person to move: a short search whose move is shown as an arrow. False when
    // it cannot start (no engine, an engine to move, analysing, a search under way).
    bool hint();
    bool hintRunning() const { return hintRunning_; }
    // While true, the game must not read the main engine.
    bool ownsMainEngine() const { return live_.active() || hintRunning_; }
    // The heartbeat's duty: follow the position shown and read the engine.
    void tick();
    const LiveAnalysis& live() const { return live_; }

signals:
    // The analysis mode ended on its own (the engine went away).
    void analysisEnded();
    // The lines of the position shown changed.
    void linesChanged();

private:
    // The position shown changed: the study restarts on it, a hint is dropped.
    void followPosition();
    void showLines();
    void pollHint();
    void dropHint();
    std::int64_t hintTimeMs() const;

    Game& game_;
    MoveArrow& arrow_;
    std::function<ThinkingDisplay*()> display_;
    LiveAnalysis live_;
    std::string shownKey_; // the position shown, as its record of moves
    bool hintRunning_ = false;
};

} // namespace qinglan
