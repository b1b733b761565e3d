#pragma once

#include <QDialog>
#include <string>

class QLabel;

namespace qinglan {

class Game;

// What the about box says of one engine slot.
struct AboutEngine {
    bool loaded = false;
    std::string name; // as the engine named itself
    std::string path; // the program it runs
};

// The about box's text: the program and its version with the commit, the licence,
// what each engine slot runs, and the Qt it runs on. Plain text.
std::string aboutText(const AboutEngine& mainEngine, const AboutEngine& secondaryEngine);

// "关于(&A)": the program's icon beside aboutText for the engines loaded now, and 确定.
class AboutDialog : public QDialog {
public:
    AboutDialog(Game& game, QWidget* owner);
    // The label holding aboutText.
    QLabel* textLabel() const { return text_; }

private:
    QLabel* text_;
};

} // namespace qinglan
