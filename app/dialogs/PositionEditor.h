#pragma once

#include "rules/Board.h"

#include <QDialog>
#include <QPoint>
#include <array>
#include <optional>
#include <string>

class QLineEdit;
class QRadioButton;

namespace qinglan {

class SpriteSurface;

// The tray of pieces not on the board: 10 rows of 4 piece codes, 0 for empty.
using EditorTray = std::array<std::array<int, 4>, 10>;

// "编辑局面": sets up any position on board at half scale, with a tray of the pieces
// not on it and a FEN line that both shows and sets the position. Whatever is shown
// when it closes stays in board, confirmed or cancelled.
class PositionEditor : public QDialog {
    Q_OBJECT
public:
    static constexpr int CLIENT_WIDTH = 392;
    static constexpr int CLIENT_HEIGHT = 379;

    PositionEditor(Board& board, QWidget* owner);

    const EditorTray& tray() const { return tray_; }

private:
    void createControls();
    void createSprites();
    // Sets the FEN line and redraws from it, even when the text is unchanged.
    void setFenText(const QString& text);
    void onFenChanged();
    void onPress(QPoint point);
    void onSideClicked();
    void showPiece(int sprite, int code, QPoint at);

    Board& board_;
    EditorTray tray_ {};
    QPoint selection_; // full-scale point of the last click on a piece
    SpriteSurface* surface_ = nullptr;
    QLineEdit* fenEdit_ = nullptr;
    QRadioButton* redFirst_ = nullptr;
    QRadioButton* blackFirst_ = nullptr;
    int markerSprite_ = 0;
    std::array<int, 32> pieceSprites_ {};
};

// Runs the editor, modal, on board (the run's editorBoard). Returns the FEN of the
// position set up when confirmed, nothing when cancelled; board keeps the position
// last shown either way.
std::optional<std::string> editPosition(QWidget* owner, Board& board);

} // namespace qinglan
