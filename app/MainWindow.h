#pragma once

#include "analysis/PositionScores.h"
#include "app/EvaluationChart.h"
#include "app/MainMenus.h"
#include "app/ThinkingWindow.h"
#include "app/dialogs/DisplaySettingsDialog.h"
#include "game/Game.h"
#include "game/GameHost.h"
#include "platform/Sound.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

namespace qinglan {

class AnalysisController;
class BoardView;
class ReviewRunner;
class MoveArrow;
class MoveListWindow;
class SpriteSurface;
class TransparentLabel;
struct GlobalState;
struct NewGameChoice;

// The main window: menus, board surface, player panels, the move-list and thinking
// windows and the heartbeat. It draws and dispatches; the game itself is Game's.
class MainWindow : public QMainWindow, public GameHost {
    Q_OBJECT
public:
    static constexpr int HEARTBEAT_MS = 50;
    static constexpr int REFRESH_INTERVAL_MS = 300;

    // sound: the player for move sounds; the machine's own when null.
    explicit MainWindow(GlobalState& state, std::unique_ptr<SoundPlayer> sound = nullptr);
    ~MainWindow() override;

    // GameHost
    void startMoveAnimation(const std::string& moveText) override;
    void cancelMoveAnimation() override;
    bool isMoveInFlight() const override;
    void finishMoveInFlight() override;
    void redrawPieces(bool fromBoard) override;
    void hideMarkers() override;
    void clearSelection() override;
    void refreshStatus(bool full) override;
    void moveListChanged() override;
    int showMessage(
        const std::string& text, const std::string& title = "青岚象棋", int flags = 0) override;
    void offerNewGame() override;
    ThinkingDisplay* thinkingDisplay() override;
    std::string askOpenFileName(const std::string& caption, const std::string& filter) override;

    void layoutMainWindow();
    void placeMoveListWindow(int x, int y, int width, int height);
    void followMainWindow();
    // False when the background names a file that is not a readable picture: the
    // picture on screen stays, the path is kept all the same.
    bool applyDisplaySettings(const DisplaySettings& settings);
    void onHeartbeat();
    // "显示思考信息(&D)": opens the thinking window, or closes it when open.
    void toggleThinkingWindow();
    // "开始对局", modal: a confirmed choice sets the sides and the board's orientation
    // and starts the game it describes.
    void openNewGameDialog();
    // "级别设置", modal: a confirmed level replaces the running game's at once.
    void openLevelDialog();
    ThinkingWindow* thinkingWindow() const { return thinkingWindow_; }
    // "显示设置...(&V)": opens the display settings dialog, or brings the open one
    // to the front.
    void showDisplaySettingsDialog();
    DisplaySettingsDialog* displaySettingsDialog() const { return displayDialog_; }
    // "主引擎设置...(&3)" / "副引擎设置...(&4)": a confirmed choice goes to the engine.
    void editEngineOptions(bool main);
    // A file named on the command line, opened once the window is up, instead of the
    // new-game dialog that greets a plain start.
    void openFileAtStart(const std::string& path);

    Game& game() { return game_; }
    GameFlow& flow() { return game_.flow(); }
    BoardView& boardView() { return *view_; }
    SpriteSurface& boardSurface() { return *surface_; }
    MoveListWindow& moveListWindow() { return *listWindow_; }
    TransparentLabel& redPanel() { return *redPanel_; }
    TransparentLabel& blackPanel() { return *blackPanel_; }
    const MainMenus& menus() const { return menus_; }
    QTimer& heartbeat() { return heartbeat_; }
    AnalysisController& analysis() { return *analysis_; }
    MoveArrow& moveArrow() { return *arrow_; }
    ReviewRunner& review() { return *review_; }
    EvaluationChart* evaluationChart() const { return chart_; }
    // "全局分析...": the dialog, then the review of the record's main line.
    void openReviewDialog();
    // "局势图": opens the chart, or closes it when open.
    void toggleEvaluationChart();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // An unsaved game is offered for saving first; the window stays when it was not.
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void fitClientArea();
    // The list's logical place (571, 209, 170 x 200) at the current scale.
    void placeMoveListAtScale();
    void connectMenus();
    // Clicks, the wheel, comments and annotations of the move-list window.
    void connectMoveList();
    void setPanelText(TransparentLabel& panel, const std::string& text);
    void showAbout();
    // The settings file: read once while the window is made, written once as it goes.
    void loadSettings();
    void saveSettings();
    void placeThinkingWindow();
    void checkEngineExit(bool main);
    // A box for the queue: the heartbeat must not stop under it.
    void showLater(std::function<void()> box);
    void startChosenGame(const NewGameChoice& choice);
    // "分析模式", its lines and "提示".
    void connectAnalysisMenus();
    void setAnalysing(bool on);
    void refreshEvaluationChart();
    // The best line's score of the position shown goes to the chart.
    void noteAnalysisScore();

    GlobalState& state_;
    std::unique_ptr<SoundPlayer> sound_;
    SpriteSurface* surface_;
    TransparentLabel* redPanel_;
    TransparentLabel* blackPanel_;
    MoveListWindow* listWindow_ = nullptr;
    BoardView* view_ = nullptr;
    MainMenus menus_;
    QPointer<ThinkingWindow> thinkingWindow_;
    QPointer<DisplaySettingsDialog> displayDialog_;
    bool inHeartbeat_ = false;
    bool greeted_ = false; // the new-game dialog of the first activation has been queued
    // The level last chosen in a level dialog: where the next one starts, and what the
    // new-game dialog's "更多" stands for.
    LevelSettings moreLevel_;
    Game game_;
    MoveArrow* arrow_ = nullptr;
    AnalysisController* analysis_ = nullptr;
    ReviewRunner* review_ = nullptr;
    PositionScores scores_;
    QPointer<EvaluationChart> chart_;
    QTimer heartbeat_;
};

} // namespace qinglan
