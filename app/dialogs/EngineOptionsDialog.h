#pragma once

#include "game/Game.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace qinglan {

class OwnOptionsPage;

// "主引擎设置...(&3)" / "副引擎设置...(&4)": edits one engine's options, filled from
// the engine slot when made; "确定" closes it with the choice made, which the caller
// hands on (Game::confirmEngineOptions). Page "常规" holds what the program sets
// itself, page "引擎自带选项" the other options the running engine announced; of those
// the choice keeps only values that differ from the engine's defaults. Modal; opened
// through chooseEngineOptions.
class EngineOptionsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int CLIENT_WIDTH = 340;
    static constexpr int CLIENT_HEIGHT = 384;
    // The tabs take the client area down to the 确定/取消 row.
    static constexpr int TABS_HEIGHT = 326;

    // main: which slot of the game (it names the caption). Buttons among the engine's
    // own options act at once, through the game.
    EngineOptionsDialog(Game& game, bool main, QWidget* owner);

    // What the controls describe now (the book text taken as it stands).
    EngineOptionsChoice choiceFromControls() const;

private:
    void buildCompatGroup(QWidget* page);
    void buildFeatureGroup(QWidget* page);
    void buildBookRow(QWidget* group);
    void buildLogRow(QWidget* page);
    void buildProtocolRow(QWidget* page);
    void showOptions(const EngineOptions& options, EngineProtocol protocol);
    void chooseBook();
    void chooseLogFile();
    void confirm();

    const EngineProcess& engine_;
    QCheckBox* startpos_ = nullptr;
    QCheckBox* simplePosition_ = nullptr;
    QCheckBox* ponder_ = nullptr;
    QComboBox* randomness_ = nullptr;
    QComboBox* pruning_ = nullptr;
    QComboBox* style_ = nullptr;
    QLineEdit* hashSize_ = nullptr;
    QLineEdit* threads_ = nullptr;
    QLineEdit* book_ = nullptr;
    QLineEdit* logFile_ = nullptr;
    QComboBox* protocol_ = nullptr;
    OwnOptionsPage* ownPage_ = nullptr;
};

// Runs the dialog for one slot: the choice when confirmed, nothing when cancelled.
std::optional<EngineOptionsChoice> chooseEngineOptions(Game& game, bool main, QWidget* owner);

// The book text "确定" keeps: trimmed of ASCII and full-width blanks, and "禁止"
// unless it then names an existing file (not a folder).
std::string confirmedBookText(const QString& text);

} // namespace qinglan
