#pragma once

#include "enginelink/AnnouncedOption.h"

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QLineEdit;

namespace qinglan {

// The engine options dialog's page "引擎自带选项": the options the running engine
// announced beyond those the program sets itself, one row each with the fitting
// control (number box within the limits, check box, list, text with a file button for
// paths, push button), in a scrolled list. Controls are named "自带选项:" + name.
class OwnOptionsPage : public QWidget {
    Q_OBJECT
public:
    // announced: what the engine announced; speaks: its protocol; stored: the values
    // chosen before; running: whether it runs (no rows otherwise); press: a button's
    // action, called with the option's name.
    OwnOptionsPage(const std::vector<AnnouncedOption>& announced, EngineProtocol speaks,
        const std::map<std::string, std::string>& stored, bool running,
        std::function<void(const std::string&)> press, QWidget* parent = nullptr);

    // Puts the values shown into own: a value that differs from the engine's default
    // and suits the option is kept, any other stored one of that name erased. Names
    // not shown (no engine, an option it no longer has) stay as they were. When the
    // engine is about to be loaded in another protocol (protocolChanges), whose
    // defaults may differ, a value the user set in this visit is kept even when it is
    // today's default.
    void putInto(std::map<std::string, std::string>& own, bool protocolChanges = false) const;

private:
    // One option: as announced, its control, and the value the control showed for
    // the option's default.
    struct Row {
        AnnouncedOption option;
        QWidget* control = nullptr;
        std::string shownDefault;
        bool touched = false; // set by the user in this visit
    };

    QWidget* buildList(const std::vector<AnnouncedOption>& shown,
        const std::map<std::string, std::string>& stored);
    // stored: the record's value for the option, if any.
    QWidget* control(const AnnouncedOption& option, const std::string* stored, QWidget* parent);
    QWidget* pathControl(QLineEdit* edit, const std::string& name, QWidget* parent);
    // Marks the row as touched whenever the user sets its control.
    void watchTouches(QWidget* control, std::size_t row);

    std::function<void(const std::string&)> press_;
    std::vector<Row> rows_;
};

} // namespace qinglan
