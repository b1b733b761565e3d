#include "app/dialogs/PositionEditor.h"

#include "app/SpriteImages.h"
#include "app/dialogs/RadioTabStops.h"
#include "platform/DialogRunner.h"
#include "platform/SpriteSurface.h"

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace qinglan {

namespace {

constexpr int PITCH = 57;
constexpr int MARGIN = 22;
constexpr int TRAY_LEFT = 556; // full scale: the board picture's width
constexpr int TRAY_TOP = 40;
constexpr int TRAY_COLUMNS = 4;
constexpr int TRAY_ROWS = 10;
constexpr int HALF = 500; // per-mille zoom
constexpr int PIECE_COUNT = 32;
constexpr const char* OPENING_TEXT
    = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w ";

// The full set by piece code: per side king 1, advisor, elephant, horse, chariot and
// cannon 2 each, pawn 5.
constexpr std::array<int, 23> FULL_SET
    = { 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 2, 2, 2, 2, 5, 0, 1, 2, 2, 2, 2, 2, 5 };

enum class Region { None, Board, Tray };

// A cell under a full-scale point; column and row counted from 0.
struct Cell {
    Region region = Region::None;
    int column = 0;
    int row = 0;
};

// Truncation toward zero, so points left of or above the first line fall outside.
int cellIndex(int coordinate, int origin) {
    return static_cast<int>(static_cast<double>(coordinate - origin) / PITCH + 1);
}

Cell cellAt(QPoint full) {
    if (full.x() < TRAY_LEFT) {
        const int file = cellIndex(full.x(), MARGIN), row = cellIndex(full.y(), MARGIN);
        if (file >= 1 && file <= FILE_COUNT && row >= 1 && row <= ROW_COUNT)
            return { Region::Board, file - 1, row - 1 };
        return {};
    }
    const int column = cellIndex(full.x(), TRAY_LEFT), row = cellIndex(full.y(), TRAY_TOP);
    if (column >= 1 && column <= TRAY_COLUMNS && row >= 1 && row <= TRAY_ROWS)
        return { Region::Tray, column - 1, row - 1 };
    return {};
}

// Top-left corner of a cell's piece, in the editor's half-scale pixels.
QPoint placement(const Cell& cell) {
    if (cell.region == Region::Tray)
        return { (cell.column * PITCH + TRAY_LEFT) / 2,
            static_cast<int>(cell.row * PITCH / 2.0 + 20) };
    return { (cell.column * PITCH + MARGIN) / 2, (cell.row * PITCH + MARGIN) / 2 };
}

int* slotOf(const Cell& cell, Grid& grid, EditorTray& tray) {
    const auto column = static_cast<std::size_t>(cell.column);
    const auto row = static_cast<std::size_t>(cell.row);
    if (cell.region == Region::Board) return &grid[column][row];
    if (cell.region == Region::Tray) return &tray[row][column];
    return nullptr;
}

// Centred over the main window that (perhaps through another dialog) owns it.
void centreOverMainWindow(QWidget& dialog, QWidget* owner) {
    QWidget* main = owner;
    while (main && !qobject_cast<QMainWindow*>(main)) main = main->parentWidget();
    if (!main) main = owner;
    if (!main) return;
    const QRect frame = main->frameGeometry();
    dialog.move(frame.left() + (frame.width() - dialog.width()) / 2,
        frame.top() + (frame.height() - dialog.height()) / 2);
}

} // namespace

PositionEditor::PositionEditor(Board& board, QWidget* owner)
    : QDialog(owner)
    , board_(board) {
    setObjectName(QStringLiteral("编辑局面"));
    setWindowTitle(QStringLiteral("编辑局面"));
    setFixedSize(CLIENT_WIDTH, CLIENT_HEIGHT);
    createControls();
    centreOverMainWindow(*this, owner);
    createSprites();
    setFenText(QString::fromLatin1(OPENING_TEXT));
}

void PositionEditor::createControls() {
    const int w = CLIENT_WIDTH, h = CLIENT_HEIGHT;
    surface_ = new SpriteSurface(this);
    surface_->setObjectName(QStringLiteral("编辑棋盘"));
    surface_->setGeometry(0, 0, w, h - 70);
    const int boardBottom = surface_->geometry().bottom() + 1;
    const auto label = [this](const char* name, const char* caption, QRect at) {
        auto* l = new QLabel(QString::fromUtf8(caption), this);
        l->setObjectName(QString::fromUtf8(name));
        l->setGeometry(at);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    };
    label("标签2", "不要的棋子", { 278, 0, 80, 20 });
    label("标签1", "FEN:", { 5, boardBottom + 5, 25, 20 });
    fenEdit_ = new QLineEdit(this);
    fenEdit_->setObjectName(QStringLiteral("FEN编辑框"));
    fenEdit_->setGeometry(35, boardBottom + 5, surface_->width() - 40, 20);
    const auto button = [this](const char* name, const char* caption, QRect at) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromUtf8(name));
        b->setGeometry(at);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* clearButton = button("清空按钮", "清空", { 285, 260, 50, 20 });
    QPushButton* startButton = button("默认按钮", "默认", { 340, 260, 50, 20 });
    const int okLeft = (w - 180) / 2, okTop = fenEdit_->y() + 30;
    QPushButton* ok = button("确定按钮", "确定", { okLeft, okTop, 80, 30 });
    QPushButton* cancel = button("取消按钮", "取消", { okLeft + 100, okTop, 80, 30 });
    redFirst_ = new QRadioButton(QStringLiteral("红先"), this);
    redFirst_->setObjectName(QStringLiteral("红先"));
    redFirst_->setGeometry(286, 290, 50, 20);
    blackFirst_ = new QRadioButton(QStringLiteral("黑先"), this);
    blackFirst_->setObjectName(QStringLiteral("黑先"));
    blackFirst_->setGeometry(337, 290, 50, 20);
    keepTabStopOnChecked({ redFirst_, blackFirst_ });
    // Return in the FEN box closes the editor as 确定 does.
    ok->setDefault(true);

    connect(fenEdit_, &QLineEdit::textChanged, this, &PositionEditor::onFenChanged);
    connect(surface_, &SpriteSurface::pressed, this, &PositionEditor::onPress);
    connect(redFirst_, &QRadioButton::clicked, this, &PositionEditor::onSideClicked);
    connect(blackFirst_, &QRadioButton::clicked, this, &PositionEditor::onSideClicked);
    connect(clearButton, &QPushButton::clicked, this, [this] {
        board_.clear();
        setFenText(QString::fromStdString(board_.toFen()));
    });
    connect(startButton, &QPushButton::clicked, this, [this] {
        board_.setStartPosition();
        setFenText(QString::fromStdString(board_.toFen()));
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void PositionEditor::createSprites() {
    const SpriteImages& images = builtInImages();
    const int boardSprite = surface_->createSprite();
    surface_->setImage(boardSprite, images.board);
    surface_->setZoom(boardSprite, HALF, HALF);
    surface_->setVisible(boardSprite, true);
    markerSprite_ = surface_->createSprite();
    surface_->setLayer(markerSprite_, 2);
    for (int& sprite : pieceSprites_) {
        sprite = surface_->createSprite();
        surface_->setLayer(sprite, 1);
        surface_->setZoom(sprite, HALF, HALF);
    }
}

void PositionEditor::setFenText(const QString& text) {
    {
        const QSignalBlocker quiet(fenEdit_);
        fenEdit_->setText(text);
    }
    onFenChanged();
}

void PositionEditor::showPiece(int sprite, int code, QPoint at) {
    const int id = pieceSprites_[static_cast<std::size_t>(sprite)];
    surface_->setImage(id, builtInImages().piece(code));
    surface_->setPosition(id, at.x(), at.y());
    surface_->setVisible(id, true);
}

void PositionEditor::onFenChanged() {
    board_.setPosition(fenEdit_->text().toStdString());
    Grid grid;
    board_.getGrid(&grid);
    redFirst_->setChecked(board_.isRedToMove());
    blackFirst_->setChecked(!board_.isRedToMove());

    std::array<int, 23> left = FULL_SET;
    int t = 0;
    for (int file = 0; file < FILE_COUNT; ++file)
        for (int row = 0; row < ROW_COUNT; ++row) {
            const int code = grid[static_cast<std::size_t>(file)][static_cast<std::size_t>(row)];
            if (code == 0 || t >= PIECE_COUNT) continue;
            showPiece(t++, code, placement({ Region::Board, file, row }));
            int& count = left[static_cast<std::size_t>(code)];
            if (count > 0) --count;
        }
    // The tray always refills in one order: highest code first, black pawns to red king.
    tray_ = {};
    const int first = t;
    for (int code = static_cast<int>(left.size()) - 1; code > 0; --code)
        for (; left[static_cast<std::size_t>(code)] > 0 && t < PIECE_COUNT; ++t) {
            --left[static_cast<std::size_t>(code)];
            const Cell cell { Region::Tray, (t - first) % TRAY_COLUMNS,
                (t - first) / TRAY_COLUMNS };
            tray_[static_cast<std::size_t>(cell.row)][static_cast<std::size_t>(cell.column)] = code;
            showPiece(t, code, placement(cell));
        }
    // Only a grid set from elsewhere could hold pieces beyond the set: nothing to show.
    for (; t < PIECE_COUNT; ++t)
        surface_->setVisible(pieceSprites_[static_cast<std::size_t>(t)], false);
    surface_->update();
}

void PositionEditor::onPress(QPoint point) {
    const QPoint full(point.x() * 2, point.y() * 2);
    Grid grid;
    board_.getGrid(&grid);
    const Cell here = cellAt(full);
    const int* piece = slotOf(here, grid, tray_);
    if (piece && *piece != 0) {
        // Selecting another piece just moves the frame: nothing is captured or swapped.
        selection_ = full;
        surface_->setImage(markerSprite_, builtInImages().selectionFrame);
        surface_->setZoom(markerSprite_, HALF, HALF);
        const QPoint at = placement(here);
        surface_->setPosition(markerSprite_, at.x(), at.y());
        surface_->setVisible(markerSprite_, true);
    } else if (int* from = slotOf(cellAt(selection_), grid, tray_); from && *from != 0) {
        if (int* to = slotOf(here, grid, tray_)) *to = *from;
        *from = 0;
        surface_->setVisible(markerSprite_, false);
    }
    board_.setFromGrid(grid, blackFirst_->isChecked());
    setFenText(QString::fromStdString(board_.toFen()));
}

void PositionEditor::onSideClicked() {
    Grid grid;
    board_.getGrid(&grid);
    board_.setFromGrid(grid, blackFirst_->isChecked());
    setFenText(QString::fromStdString(board_.toFen()));
}

std::optional<std::string> editPosition(QWidget* owner, Board& board) {
    PositionEditor editor(board, owner);
    if (runModalDialog(editor) != QDialog::Accepted) return std::nullopt;
    return board.toFen();
}

} // namespace qinglan
