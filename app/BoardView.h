#pragma once

#include "app/BoardGeometry.h"
#include "settings/SettingsRecords.h"

#include <QImage>
#include <QObject>
#include <QTimer>
#include <array>
#include <optional>
#include <string>

namespace qinglan {

class SoundPlayer;
class SpriteSurface;
class TransparentLabel;
struct GameState;
struct GlobalState;

// The changes of one setSprite call: only the properties that are set are applied.
struct SpriteChange {
    std::optional<int> x = std::nullopt; // logical, stored in the sprite table
    std::optional<int> y = std::nullopt;
    std::optional<bool> visible = std::nullopt;
    std::optional<QImage> image = std::nullopt;
    std::optional<int> layer = std::nullopt;
    std::optional<int> transparency = std::nullopt;
};

// The board view: the sprites of the board surface, the file numbers and the player
// panels around it, mouse input and the slide of a moving piece. It never decides
// rules; a legal click is handed on through moveChosen.
class BoardView : public QObject {
    Q_OBJECT
public:
    static constexpr int ANIMATION_PERIOD_MS = 15;

    BoardView(GlobalState& state, const GameState& game, SpriteSurface& surface,
        TransparentLabel& redPanel, TransparentLabel& blackPanel, SoundPlayer& sound,
        QObject* parent = nullptr);

    // Creation, once: the 18 file-number labels, then the 38 sprites with the four
    // fixed ones (board, side icons, background).
    void createFileLabels();
    void createSprites();

    // A number outside 1..38 does nothing. Positions take effect at the next redraw.
    void setSprite(int number, const SpriteChange& change);
    // Scales sprites, labels and panels to the surface's current size.
    void layout();
    // fromBoard: rebuild the piece sprites from the board; always: move sprites 1-34
    // to their scaled (and possibly flipped) places.
    void redrawPieces(bool fromBoard);
    void onBoardClick(QPoint point);
    // Called before the board makes the move.
    void startMoveAnimation(SquareRef from, SquareRef to);
    void onAnimationTick();
    bool isAnimating() const { return animationTimer_.isActive(); }
    // Ends a slide at once, with its sound and its turn change.
    void finishAnimation();
    // Stops a slide without ending its turn.
    void cancelAnimation() { animationTimer_.stop(); }
    void hideMarkers();
    // Transparencies of the pieces, markers, side icons and board.
    void applyTransparencies(const DisplaySettings& settings);
    void setBackground(const QImage& image);

    TransparentLabel* redFileLabel(int j) const {
        return redFileLabels_[static_cast<std::size_t>(j - 1)];
    }
    TransparentLabel* blackFileLabel(int j) const {
        return blackFileLabels_[static_cast<std::size_t>(j - 1)];
    }
    bool hasFileLabels() const { return redFileLabels_[0] != nullptr; }

signals:
    // A legal move was clicked ("h2e2" form).
    void moveChosen(const std::string& moveText);
    // The slide has ended and the position after the move is drawn.
    void animationFinished();
    // The pieces were repositioned; the window repaints.
    void redrawn();

private:
    void placeMarker(int number, SquareRef square);

    GlobalState& state_;
    const GameState& game_;
    SpriteSurface& surface_;
    TransparentLabel& redPanel_;
    TransparentLabel& blackPanel_;
    SoundPlayer& sound_;
    std::array<TransparentLabel*, 9> redFileLabels_ {};
    std::array<TransparentLabel*, 9> blackFileLabels_ {};
    QTimer animationTimer_;
};

} // namespace qinglan
