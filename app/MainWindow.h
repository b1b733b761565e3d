#pragma once

#include "app/GameFlow.h"
#include "app/GameHost.h"
#include "app/MainMenus.h"
#include "platform/Sound.h"

#include <QMainWindow>
#include <QTimer>
#include <memory>

namespace qinglan {

class BoardView;
class MoveListWindow;
class SpriteSurface;
class TransparentLabel;
struct GlobalState;

// The main window: menus, board surface, player panels, the move-list window and the
// heartbeat. It draws and dispatches; the game itself is GameFlow's.
class MainWindow : public QMainWindow, public GameHost {
    Q_OBJECT
public:
    static constexpr int HEARTBEAT_MS = 50;
    static constexpr int REFRESH_INTERVAL_MS = 300;

    // sound: the player for move sounds; the machine's own when null.
    explicit MainWindow(GlobalState& state, std::unique_ptr<SoundPlayer> sound = nullptr);
    ~MainWindow() override;

    // GameHost
    void startMoveAnimation(SquareRef from, SquareRef to) override;
    void cancelMoveAnimation() override;
    void redrawPieces(bool fromBoard) override;
    void hideMarkers() override;
    void refreshStatus(bool full) override;
    void moveListChanged() override;
    int showMessage(
        const std::string& text, const std::string& title = "青岚象棋", int flags = 0) override;
    void offerNewGame() override;

    void layoutMainWindow();
    void placeMoveListWindow(int x, int y, int width, int height);
    void followMainWindow();
    void applyDisplaySettings(const DisplaySettings& settings);
    void onHeartbeat();

    GameFlow& flow() { return flow_; }
    BoardView& boardView() { return *view_; }
    SpriteSurface& boardSurface() { return *surface_; }
    MoveListWindow& moveListWindow() { return *listWindow_; }
    TransparentLabel& redPanel() { return *redPanel_; }
    TransparentLabel& blackPanel() { return *blackPanel_; }
    const MainMenus& menus() const { return menus_; }
    QTimer& heartbeat() { return heartbeat_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void fitClientArea();
    // The list's logical place (571, 209, 170 x 200) at the current scale.
    void placeMoveListAtScale();
    void connectMenus();
    void setPanelText(TransparentLabel& panel, const std::string& text);
    void showAbout();

    GlobalState& state_;
    std::unique_ptr<SoundPlayer> sound_;
    SpriteSurface* surface_;
    TransparentLabel* redPanel_;
    TransparentLabel* blackPanel_;
    MoveListWindow* listWindow_ = nullptr;
    BoardView* view_ = nullptr;
    MainMenus menus_;
    GameFlow flow_;
    QTimer heartbeat_;
};

} // namespace qinglan
