#pragma once

// The engine options and display settings dialogs in the real window, driven through
// their controls by name.
#include "WindowFixture.h"
#include "app/dialogs/EngineOptionsDialog.h"
#include "platform/DialogRunner.h"
#include "platform/FileDialogs.h"
#include "platform/Ticks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <fstream>
#include <thread>

namespace qinglan::testing {

template<class Widget> Widget& control(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromUtf8(name));
    if (!widget) ADD_FAILURE() << "no control " << name;
    static Widget none;
    return widget ? *widget : none;
}
inline QLineEdit& edit(QWidget& d, const char* name) {
    return control<QLineEdit>(d, name);
}
inline QComboBox& combo(QWidget& d, const char* name) {
    return control<QComboBox>(d, name);
}
inline QCheckBox& check(QWidget& d, const char* name) {
    return control<QCheckBox>(d, name);
}
inline QSlider& slider(QWidget& d, const char* name) {
    return control<QSlider>(d, name);
}
inline QSpinBox& spinBox(QWidget& d, const char* name) {
    return control<QSpinBox>(d, name);
}
inline QTabWidget& pages(QWidget& d) {
    return control<QTabWidget>(d, "选项页");
}
inline void press(QWidget& d, const char* name) {
    control<QPushButton>(d, name).click();
}
inline std::string str(const QString& text) {
    return text.toStdString();
}
// What the engine's own option called name shows: "value [min..max]" for a number,
// the text of the others, "-" when the option has no control.
inline std::string ownShown(QWidget& d, const std::string& name) {
    auto* widget = d.findChild<QWidget*>(QString::fromStdString("自带选项:" + name));
    if (auto* spin = qobject_cast<QSpinBox*>(widget))
        return std::to_string(spin->value()) + " [" + std::to_string(spin->minimum()) + ".."
            + std::to_string(spin->maximum()) + "]";
    if (auto* box = qobject_cast<QCheckBox*>(widget)) return box->isChecked() ? "true" : "false";
    if (auto* box = qobject_cast<QComboBox*>(widget))
        return str(box->currentText()) + (box->isEnabled() ? "" : " (disabled)");
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return str(line->text());
    return widget ? "?" : "-";
}

class OptionDialogsTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        window->heartbeat().stop();
    }
    void TearDown() override {
        setDialogHandler({});
        setFileDialogHandler({});
        WindowFixture::TearDown();
        for (const char* name : { "QINGLAN_FAKE_MODE", "QINGLAN_FAKE_BOOK",
                 "QINGLAN_FAKE_TRANSCRIPT", "QINGLAN_FAKE_OPTIONS", "QINGLAN_FAKE_NAME" })
            unsetenv(name);
    }

    EngineProcess& engine(bool main) { return window->game().engineSlot(main); }
    std::string path(const char* name) const { return programDir.filePath(name).toStdString(); }
    std::string makeFile(const char* name, const std::string& bytes = "x") const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }

    // The fake engine loaded next announces these option lines too.
    void announce(const std::string& lines) {
        setenv("QINGLAN_FAKE_OPTIONS", makeFile("options.txt", lines).c_str(), 1);
    }
    bool loadFake(bool main, const char* mode = "") {
        setenv("QINGLAN_FAKE_MODE", mode, 1);
        setenv("QINGLAN_FAKE_TRANSCRIPT", path(main ? "main.txt" : "secondary.txt").c_str(), 1);
        return engine(main).loadProgram(QINGLAN_FAKE_ENGINE);
    }
    // The transcript of the main engine once it holds a line starting with last.
    std::vector<std::string> mainTranscriptUpTo(const std::string& last) const {
        const std::int64_t deadline = tickMs() + 3000;
        while (true) {
            std::ifstream in(path("main.txt"));
            std::vector<std::string> lines;
            for (std::string line; std::getline(in, line);) lines.push_back(line);
            if (std::count(lines.begin(), lines.end(), last) >= 2 || tickMs() > deadline)
                return lines;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    std::vector<std::string> mainTranscript() const {
        std::ifstream in(path("main.txt"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // The main engine's transcript from line `from` on, once a marker line sent now has
    // arrived: everything sent before it is there too. The marker is left out.
    std::vector<std::string> mainTranscriptSince(std::size_t from) {
        const std::string marker = "marker " + std::to_string(++markers_);
        engine(true).sendLine(marker);
        const std::int64_t deadline = tickMs() + 3000;
        while (true) {
            std::vector<std::string> lines = mainTranscript();
            const auto first
                = lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size()));
            const auto end = std::find(first, lines.end(), marker);
            if (end != lines.end() || tickMs() > deadline) return { first, end };
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // Where the lines sent from now on will start in the transcript.
    std::size_t mainTranscriptEnd() { return mainTranscriptSince(0).size() + 1; }
    int markers_ = 0;

    // The main engine speaks to us afresh with the automatic protocol and these own
    // options stored.
    void forgetProtocol(const std::map<std::string, std::string>& own = {}) {
        engine(true).chooseForProgram(EngineProtocol::Auto, own);
    }

    // Opens an engine options dialog from its menu item; edit runs on the open dialog and
    // returns the button to press. Returns the dialog's caption.
    std::string editEngine(bool main, const std::function<const char*(QDialog&)>& edit) {
        std::string caption;
        setDialogHandler([&](QDialog& dialog) {
            caption = str(dialog.windowTitle());
            press(dialog, edit(dialog));
            return dialog.result();
        });
        (main ? menus().mainEngineOptions : menus().secondaryEngineOptions)->trigger();
        setDialogHandler({});
        return caption;
    }

    DisplaySettingsDialog& openDisplay() {
        menus().displaySettings->trigger();
        settle();
        DisplaySettingsDialog* dialog = window->displaySettingsDialog();
        EXPECT_TRUE(dialog && dialog->isVisible());
        static DisplaySettingsDialog* none = nullptr;
        return dialog ? *dialog : *none;
    }
};

} // namespace qinglan::testing
