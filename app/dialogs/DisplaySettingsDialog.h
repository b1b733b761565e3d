#pragma once

#include "settings/SettingsRecords.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QSlider;

namespace qinglan {

// "显示设置": edits the display settings while the game goes on (not modal). "应用"
// and "确定" hand the record to apply; "取消" undoes nothing that was applied.
class DisplaySettingsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int CLIENT_WIDTH = 315;
    static constexpr int CLIENT_HEIGHT = 210;

    // apply puts a record into effect and says whether the background file could be
    // shown (false for a file that is there but is no picture).
    using Apply = std::function<bool(const DisplaySettings&)>;
    DisplaySettingsDialog(const DisplaySettings& current, Apply apply, QWidget* owner);

    DisplaySettings settingsFromControls() const;

private:
    void buildRows();
    void showSettings(const DisplaySettings& settings);
    void chooseBackground();
    void applyControls();

    Apply apply_;
    QLineEdit* background_ = nullptr;
    QSlider* boardTransparency_ = nullptr;
    QSlider* pieceTransparency_ = nullptr;
    QSlider* listTransparency_ = nullptr;
    QSlider* animationSpeed_ = nullptr;
};

} // namespace qinglan
