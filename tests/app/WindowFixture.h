#pragma once

// A real main window under the offscreen platform, with a scripted message box, a
// recording sound player and a clock the test moves by hand.
#include "app/BoardView.h"
#include "app/GlobalState.h"
#include "app/MainWindow.h"
#include "app/MoveListWindow.h"
#include "platform/DialogRunner.h"
#include "platform/MessageBox.h"
#include "platform/Sound.h"
#include "platform/SpriteSurface.h"
#include "platform/Ticks.h"
#include "platform/TransparentLabel.h"
#include "resources/Resources.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace qinglan::testing {

struct ShownMessage {
    std::string text;
    std::string title;
    int flags = 0;
};

class RecordingSound : public SoundPlayer {
public:
    explicit RecordingSound(std::vector<SoundClip>& played)
        : played_(played) { }
    void play(SoundClip clip) override { played_.push_back(clip); }

private:
    std::vector<SoundClip>& played_;
};

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        initBuiltInResources();
        state = std::make_unique<GlobalState>();
        state->tickSource = [this] { return now; };
        // No settings file and no default engines unless a test puts them there.
        state->programDir = programDir.path().toStdString();
        setMessageBoxHandler([this](const QString& text, const QString& title, int flags) {
            messages.push_back({ text.toStdString(), title.toStdString(), flags });
            return answer;
        });
        // Every modal dialog is recorded and, unless a test drives it, cancelled: the
        // first activation opens the new-game dialog in every test.
        setDialogHandler([this](QDialog& dialog) {
            dialogs.push_back(dialog.windowTitle().toStdString());
            return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
        });
        window = std::make_unique<MainWindow>(*state, std::make_unique<RecordingSound>(sounds));
        // The unsaved-game question has tests of its own; elsewhere it would answer
        // boxes meant for other questions.
        window->menus().askToSave->setChecked(false);
        window->show();
        settle();
    }

    void TearDown() override {
        window.reset();
        setMessageBoxHandler({});
        setDialogHandler({});
    }

    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }

    const GameState& game() const { return window->game().state(); }
    SpriteSurface& surface() { return window->boardSurface(); }
    BoardView& view() { return window->boardView(); }
    const MainMenus& menus() { return window->menus(); }
    std::string listText() {
        return window->moveListWindow().moveListBox()->toPlainText().toStdString();
    }
    static std::string text(const QLabel& label) { return label.text().toStdString(); }

    // Makes the client area width x height pixels.
    void resizeClient(int width, int height) {
        const QSize frame = window->size() - surface().size();
        window->resize(frame.width() + width, frame.height() + height);
        settle();
    }

    // The client pixel at the centre of a square as it is shown (flipped or not).
    QPoint squarePixel(SquareRef square) const {
        int x = squareX(square.file) + 27;
        int y = squareY(square.row) + 27;
        if (state->checks.flipped) {
            x = FLIP_X - squareX(square.file) + 27;
            y = FLIP_Y - squareY(square.row) + 27;
        }
        return { scaled(x, state->scaleX), scaled(y, state->scaleY) };
    }

    void click(SquareRef square) {
        QTest::mouseClick(&surface(), Qt::LeftButton, {}, squarePixel(square));
    }

    void finishAnimation() {
        for (int guard = 0; view().isAnimating() && guard < 1000; ++guard) view().onAnimationTick();
    }

    // Heartbeats, with every slide run to its end, until done() or about timeoutMs.
    bool runUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
        const std::int64_t deadline = tickMs() + timeoutMs;
        while (!done()) {
            if (tickMs() > deadline) return false;
            window->onHeartbeat();
            finishAnimation();
            settle();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // A move by two clicks, then its slide to the end.
    void playByClicks(const std::string& move) {
        const MoveSquares squares = squaresOfMove(move);
        click(squares.from);
        click(squares.to);
        finishAnimation();
        window->refreshStatus(true); // what the next heartbeat does within 300 ms
    }

    // A control of an open dialog by its name; a missing one fails the test.
    template<typename Widget> static Widget* control(QDialog& dialog, const char* name) {
        auto* widget = dialog.findChild<Widget*>(QString::fromUtf8(name));
        if (!widget)
            ADD_FAILURE() << "no control " << name << " in " << dialog.windowTitle().toStdString();
        return widget;
    }
    static void clickOn(QDialog& dialog, const char* name) {
        if (auto* button = control<QAbstractButton>(dialog, name)) button->click();
    }
    static void type(QDialog& dialog, const char* name, const QString& text) {
        if (auto* edit = control<QLineEdit>(dialog, name)) edit->setText(text);
    }

    // The names of the controls Tab visits, once around, from the dialog's first stop.
    static std::vector<std::string> tabStops(QDialog& dialog) {
        dialog.show();
        // The arrow keys move within a group of the active window only; the offscreen
        // platform activates nothing on its own.
        QApplication::setActiveWindow(&dialog);
        QWidget* first = dialog.nextInFocusChain();
        while (!(first->focusPolicy() & Qt::TabFocus)) first = first->nextInFocusChain();
        first->setFocus(Qt::TabFocusReason);
        std::vector<std::string> names;
        for (QWidget* at = first; names.size() < 30;) {
            names.push_back(at->objectName().toStdString());
            QTest::keyClick(at, Qt::Key_Tab);
            at = dialog.focusWidget();
            if (!at || at == first) break;
        }
        return names;
    }

    int messageCount(const std::string& text) const {
        int n = 0;
        for (const ShownMessage& m : messages) n += m.text == text;
        return n;
    }

    QTemporaryDir programDir;
    std::int64_t now = 1'000'000;
    int answer = MESSAGE_NO;
    std::vector<ShownMessage> messages;
    // Titles of the modal dialogs opened, and the test's driver for them (returns the
    // dialog's result; none: cancelled).
    std::vector<std::string> dialogs;
    std::function<int(QDialog&)> onDialog;
    std::vector<SoundClip> sounds;
    std::unique_ptr<GlobalState> state;
    std::unique_ptr<MainWindow> window;
};

} // namespace qinglan::testing
