#pragma once

#include "settings/SettingsRecords.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace qinglan {

class EngineProcess;
class OwnOptionsPage;

// "主引擎设置...(&3)" / "副引擎设置...(&4)": edits one engine's options, filled from
// the engine when made; "确定" hands the new record to the engine's setOptions (which
// sends it at once when the engine is idle). Page "常规" holds what the program sets
// itself, page "引擎自带选项" the other options the running engine announced; of those
// the record keeps only values that differ from the engine's defaults. Modal; opened
// through runModalDialog.
class EngineOptionsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int CLIENT_WIDTH = 340;
    static constexpr int CLIENT_HEIGHT = 384;
    // The tabs take the client area down to the 确定/取消 row.
    static constexpr int TABS_HEIGHT = 326;

    // main: whether engine is the main engine (it names the caption).
    EngineOptionsDialog(EngineProcess& engine, bool main, QWidget* owner);

    // The engine's record with what the controls describe now put in (the book text
    // taken as it stands).
    EngineOptions optionsFromControls() const;

private:
    void buildCompatGroup(QWidget* page);
    void buildFeatureGroup(QWidget* page);
    void buildBookRow(QWidget* group);
    void buildLogRow(QWidget* page);
    void buildProtocolRow(QWidget* page);
    void showOptions(const EngineOptions& options);
    void chooseBook();
    void chooseLogFile();
    void confirm();

    EngineProcess& engine_;
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

// The book text "确定" keeps: trimmed of ASCII and full-width blanks, and "禁止"
// unless it then names an existing file (not a folder).
std::string confirmedBookText(const QString& text);

} // namespace qinglan
