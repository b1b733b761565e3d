#pragma once

#include "enginelink/AnnouncedOption.h"

#include <QWidget>
#include <map>
#include <string>
#include <vector>

class QLineEdit;

namespace qinglan {

class EngineProcess;

// The engine options dialog's page "引擎自带选项": the options the running engine
// announced beyond those the program sets itself, one row each with the fitting
// control (number box within the limits, check box, list, text with a file button for
// paths, push button), in a scrolled list. Controls are named "自带选项:" + name.
class OwnOptionsPage : public QWidget {
    Q_OBJECT
public:
    explicit OwnOptionsPage(EngineProcess& engine, QWidget* parent = nullptr);

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

    QWidget* buildList(const std::vector<AnnouncedOption>& shown);
    // stored: the record's value for the option, if any.
    QWidget* control(const AnnouncedOption& option, const std::string* stored, QWidget* parent);
    QWidget* pathControl(QLineEdit* edit, const std::string& name, QWidget* parent);
    // Marks the row as touched whenever the user sets its control.
    void watchTouches(QWidget* control, std::size_t row);

    EngineProcess& engine_;
    std::vector<Row> rows_;
};

} // namespace qinglan
