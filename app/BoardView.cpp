#include "app/BoardView.h"

#include "app/GlobalState.h"
#include "app/SpriteImages.h"
#include "game/GameState.h"
#include "platform/Sound.h"
#include "platform/SpriteSurface.h"
#include "platform/TransparentLabel.h"

#include <algorithm>
#include <cmath>

namespace qinglan {

namespace {
constexpr int PIECE_LAYER = 2;
constexpr int SLIDING_LAYER = 5;
constexpr int MARKER_LAYER = 3;
constexpr int LABEL_FONT_PX = 16;
// The smallest per-mille zoom that stretches natural pixels over at least target pixels.
int coverPerMille(int target, int natural) {
    return static_cast<int>(std::ceil(static_cast<double>(target) * 1000.0 / natural));
}

const char* const RED_NUMERALS[9] = { "一", "二", "三", "四", "五", "六", "七", "八", "九" };
} // namespace

BoardView::BoardView(GlobalState& state, const GameState& game, SpriteSurface& surface,
    TransparentLabel& redPanel, TransparentLabel& blackPanel, SoundPlayer& sound, QObject* parent)
    : QObject(parent)
    , state_(state)
    , game_(game)
    , surface_(surface)
    , redPanel_(redPanel)
    , blackPanel_(blackPanel)
    , sound_(sound) {
    animationTimer_.setInterval(ANIMATION_PERIOD_MS);
    connect(&animationTimer_, &QTimer::timeout, this, &BoardView::onAnimationTick);
    connect(&surface_, &SpriteSurface::pressed, this, &BoardView::onBoardClick);
}

void BoardView::createFileLabels() {
    for (int j = 1; j <= 9; ++j) {
        const auto i = static_cast<std::size_t>(j - 1);
        redFileLabels_[i] = redPanel_.cloneStyle(&surface_);
        blackFileLabels_[i] = redPanel_.cloneStyle(&surface_);
        redFileLabels_[i]->setText(QString::fromUtf8(RED_NUMERALS[i]));
        blackFileLabels_[i]->setText(QString::number(j));
        for (TransparentLabel* label : { redFileLabels_[i], blackFileLabels_[i] }) {
            label->setAlignment(Qt::AlignCenter);
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            label->show();
        }
    }
}

void BoardView::createSprites() {
    for (int n = 1; n <= SPRITE_COUNT; ++n) {
        state_.sprites[static_cast<std::size_t>(n)].objectId = surface_.createSprite();
        setSprite(n,
            { .x = 0,
                .y = 0,
                .visible = false,
                .image = QImage(),
                .layer = PIECE_LAYER,
                .transparency = 20 });
    }
    const SpriteImages& images = builtInImages();
    setSprite(BOARD_SPRITE,
        { .x = 0, .y = 0, .visible = true, .image = images.board, .layer = 1, .transparency = 40 });
    setSprite(RED_ICON,
        { .x = 1,
            .y = 1,
            .visible = true,
            .image = images.piece(RED + KING),
            .layer = 2,
            .transparency = 30 });
    setSprite(BLACK_ICON,
        { .x = 1,
            .y = 1,
            .visible = true,
            .image = images.piece(BLACK + KING),
            .layer = 2,
            .transparency = 30 });
    setSprite(BACKGROUND_SPRITE,
        { .x = 0,
            .y = 0,
            .visible = true,
            .image = images.background,
            .layer = 0,
            .transparency = 0 });
}

void BoardView::setSprite(int number, const SpriteChange& change) {
    if (number < 1 || number > SPRITE_COUNT) return;
    SpriteSlot& slot = state_.sprites[static_cast<std::size_t>(number)];
    if (change.x) slot.x = *change.x;
    if (change.y) slot.y = *change.y;
    if (change.visible) surface_.setVisible(slot.objectId, *change.visible);
    if (change.image) surface_.setImage(slot.objectId, *change.image);
    if (change.layer) surface_.setLayer(slot.objectId, *change.layer);
    if (change.transparency) surface_.setTransparency(slot.objectId, *change.transparency);
}

void BoardView::layout() {
    const int width = surface_.width();
    const int height = surface_.height();
    const double sx = static_cast<double>(width) / LOGICAL_WIDTH;
    const double sy = static_cast<double>(height) / LOGICAL_HEIGHT;
    state_.scaleX = sx;
    state_.scaleY = sy;
    for (int n = 1; n <= SPRITE_COUNT; ++n)
        surface_.setZoom(state_.sprites[static_cast<std::size_t>(n)].objectId, scaled(1000, sx),
            scaled(1000, sy));
    // The background covers the client area whatever its aspect ratio. The per-mille
    // zoom is rounded up: truncated, it would leave a strip of a pixel uncovered.
    const int background = state_.sprites[BACKGROUND_SPRITE].objectId;
    surface_.setZoom(background, 1000, 1000);
    const QSize natural = surface_.naturalSize(background);
    if (natural.width() > 0 && natural.height() > 0)
        surface_.setZoom(background, coverPerMille(width, natural.width()),
            coverPerMille(height, natural.height()));

    const bool flipped = state_.checks.flipped;
    if (hasFileLabels()) {
        QFont font = redPanel_.font();
        font.setPixelSize(std::max(1, scaled(LABEL_FONT_PX, std::min(sx, sy))));
        const int w = scaled(SQUARE_PITCH, sx);
        const int h = scaled(22, sy);
        const int top = scaled(3, sy);
        const int bottom = scaled(592, sy);
        for (int j = 1; j <= 9; ++j) {
            const int nearLeft = scaled(squareX(j), sx); // j-th file from the left
            const int nearRight = scaled(squareX(10 - j), sx); // j-th file from the right
            TransparentLabel* red = redFileLabel(j);
            TransparentLabel* black = blackFileLabel(j);
            red->setGeometry(flipped ? nearLeft : nearRight, flipped ? top : bottom, w, h);
            black->setGeometry(flipped ? nearRight : nearLeft, flipped ? bottom : top, w, h);
            red->setFont(font);
            black->setFont(font);
        }
        redPanel_.setFont(font);
        blackPanel_.setFont(font);
    }
    const int iconX = scaled(627, sx);
    const int lowY = scaled(450, sy);
    const int highY = scaled(40, sy);
    surface_.setPosition(state_.sprites[RED_ICON].objectId, iconX, flipped ? highY : lowY);
    surface_.setPosition(state_.sprites[BLACK_ICON].objectId, iconX, flipped ? lowY : highY);
    const int panelX = scaled(556, sx);
    const int panelW = scaled(200, sx);
    const int panelH = scaled(100, sy);
    const int lowPanel = scaled(507, sy);
    const int highPanel = scaled(97, sy);
    redPanel_.setGeometry(panelX, flipped ? highPanel : lowPanel, panelW, panelH);
    blackPanel_.setGeometry(panelX, flipped ? lowPanel : highPanel, panelW, panelH);
}

void BoardView::redrawPieces(bool fromBoard) {
    if (fromBoard) {
        Grid grid {};
        game_.board.getGrid(&grid);
        const SpriteImages& images = builtInImages();
        int n = 1;
        for (int file = 1; file <= 9; ++file) {
            for (int row = 1; row <= 10; ++row) {
                int& cell = state_.squareSprite[static_cast<std::size_t>(file)]
                                               [static_cast<std::size_t>(row)];
                cell = 0;
                const int code
                    = grid[static_cast<std::size_t>(file - 1)][static_cast<std::size_t>(row - 1)];
                // More than 32 pieces cannot come from a FEN, but a grid is not capped.
                if (code == 0 || n > PIECE_SPRITES) continue;
                setSprite(n,
                    { .x = squareX(file),
                        .y = squareY(row),
                        .visible = true,
                        .image = images.piece(code),
                        .layer = PIECE_LAYER });
                cell = n++;
            }
        }
        for (; n <= PIECE_SPRITES; ++n) setSprite(n, { .x = 0, .y = 0, .visible = false });
    }
    const bool flipped = state_.checks.flipped;
    for (int n = 1; n <= TO_MARKER; ++n) {
        const SpriteSlot& slot = state_.sprites[static_cast<std::size_t>(n)];
        const int x = flipped ? FLIP_X - slot.x : slot.x;
        const int y = flipped ? FLIP_Y - slot.y : slot.y;
        surface_.setPosition(slot.objectId, scaled(x, state_.scaleX), scaled(y, state_.scaleY));
    }
    emit redrawn();
}

void BoardView::placeMarker(int number, SquareRef square) {
    setSprite(number,
        { .x = squareX(square.file),
            .y = squareY(square.row),
            .visible = true,
            .image = builtInImages().selectionFrame,
            .layer = MARKER_LAYER,
            .transparency = 0 });
}

void BoardView::onBoardClick(QPoint point) {
    if (game_.gameOver) return;
    const SquareRef square
        = squareAt(point.x(), point.y(), state_.scaleX, state_.scaleY, state_.checks.flipped);
    if (square.isNone()) return;
    Grid grid {};
    const int side = game_.board.getGrid(&grid);
    const int code
        = grid[static_cast<std::size_t>(square.file - 1)][static_cast<std::size_t>(square.row - 1)];
    if (code & side) {
        placeMarker(FROM_MARKER, square);
        setSprite(TO_MARKER, { .x = 0, .y = 0, .visible = false });
        redrawPieces(false);
        state_.selection = square;
        return;
    }
    if (state_.selection.isNone()) return;
    const std::string move = moveTextFor(state_.selection, square);
    if (game_.board.isLegalMoveText(move)) {
        emit moveChosen(move);
    } else if (state_.checks.soundOn) {
        sound_.play(SoundClip::Illegal);
    }
}

void BoardView::startMoveAnimation(SquareRef from, SquareRef to) {
    placeMarker(FROM_MARKER, from);
    placeMarker(TO_MARKER, to);
    redrawPieces(true);
    MoveAnimation& a = state_.moveAnimation;
    a.sprite = state_.squareSprite[static_cast<std::size_t>(from.file)]
                                  [static_cast<std::size_t>(from.row)];
    const SpriteSlot& slot = state_.sprites[static_cast<std::size_t>(a.sprite)];
    a.x = slot.x;
    a.y = slot.y;
    const int steps = state_.displaySettings.animationSteps;
    a.dx = steps > 0 ? static_cast<double>((to.file - from.file) * SQUARE_PITCH) / steps : 0;
    a.dy = steps > 0 ? static_cast<double>((to.row - from.row) * SQUARE_PITCH) / steps : 0;
    a.stepsLeft = steps;
    animationTimer_.start();
}

void BoardView::onAnimationTick() {
    MoveAnimation& a = state_.moveAnimation;
    if (a.stepsLeft <= 0) {
        animationTimer_.stop();
        if (state_.checks.soundOn) {
            const Board& board = game_.board;
            sound_.play(board.lastMoveGaveCheck() ? SoundClip::Check
                    : board.lastMoveCaptured()    ? SoundClip::Capture
                                                  : SoundClip::Move);
        }
        redrawPieces(true);
        emit animationFinished();
        return;
    }
    --a.stepsLeft;
    a.x += a.dx;
    a.y += a.dy;
    setSprite(a.sprite,
        { .x = static_cast<int>(a.x),
            .y = static_cast<int>(a.y),
            .visible = true,
            .layer = SLIDING_LAYER });
    redrawPieces(false);
}

void BoardView::finishAnimation() {
    if (!isAnimating()) return;
    state_.moveAnimation.stepsLeft = 0;
    onAnimationTick();
}

void BoardView::hideMarkers() {
    setSprite(FROM_MARKER, { .x = 0, .y = 0, .visible = false });
    setSprite(TO_MARKER, { .x = 0, .y = 0, .visible = false });
}

void BoardView::applyTransparencies(const DisplaySettings& settings) {
    for (int n = 1; n <= TO_MARKER; ++n)
        setSprite(n, { .transparency = settings.pieceTransparency });
    setSprite(RED_ICON, { .transparency = settings.pieceTransparency });
    setSprite(BLACK_ICON, { .transparency = settings.pieceTransparency });
    setSprite(BOARD_SPRITE, { .transparency = settings.boardTransparency });
}

void BoardView::setBackground(const QImage& image) {
    setSprite(BACKGROUND_SPRITE,
        { .x = 0, .y = 0, .visible = true, .image = image, .layer = 0, .transparency = 0 });
}

} // namespace qinglan
