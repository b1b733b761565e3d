#include "PgnWriter.h"

#include "PgnReader.h"

namespace qinglan {

namespace {

constexpr std::size_t LINE_WIDTH = 80;

std::string tagLine(std::string_view name, std::string_view value) {
    std::string line(1, '[');
    line.append(name).append(" \"");
    for (char c : value) {
        if (c == '"' || c == '\\') line += '\\';
        line += c;
    }
    return line + "\"]\n";
}

// Move text laid out in lines of about LINE_WIDTH bytes.
class MoveTextOut {
public:
    explicit MoveTextOut(std::string& out)
        : out_(out) { }
    void word(std::string_view text, bool glued = false) {
        if (!glued && column_ > 0) {
            if (column_ + 1 + text.size() > LINE_WIDTH) {
                out_ += '\n';
                column_ = 0;
            } else {
                out_ += ' ';
                ++column_;
            }
        }
        out_ += text;
        const std::size_t newline = text.rfind('\n');
        column_
            = newline == std::string_view::npos ? column_ + text.size() : text.size() - newline - 1;
    }
    void comment(const std::string& text) { word("{" + text + "}"); }

private:
    std::string& out_;
    std::size_t column_ = 0;
};

class TreeWriter {
public:
    TreeWriter(const GameRecord& game, Notation notation, MoveTextOut& out)
        : game_(game)
        , notation_(notation)
        , out_(out)
        , blackStarts_(game.startFen().find(" b") != std::string::npos) { }

    // The line that begins with move node (ply plies after the start), and every
    // variation branching off it, nested at depth.
    void line(int node, int ply, int depth) {
        bool numbered = true;
        for (; node != GameRecord::NONE; node = game_.firstChild(node), ++ply) {
            const int parent = game_.parentOf(node);
            moveWithNotes(node, ply, numbered);
            numbered = !game_.comment(node).empty();
            if (game_.firstChild(parent) != node || depth >= MAX_VARIATION_DEPTH) continue;
            for (int other = game_.nextSibling(node); other != GameRecord::NONE;
                 other = game_.nextSibling(other)) {
                out_.word("(");
                line(other, ply, depth + 1);
                out_.word(")", true);
                numbered = true;
            }
        }
    }

private:
    void moveWithNotes(int node, int ply, bool numbered) {
        const int turn = ply + (blackStarts_ ? 1 : 0);
        if (turn % 2 == 0)
            out_.word(std::to_string(turn / 2 + 1) + ".");
        else if (numbered)
            out_.word(std::to_string(turn / 2 + 1) + "...");
        const Board& before = game_.positionAfter(game_.parentOf(node));
        out_.word(writeMove(before, game_.moveText(node), notation_));
        bool first = true;
        for (int nag : game_.nags(node)) {
            constexpr const char* GLYPHS[] = { "", "!", "?", "!!", "??", "!?", "?!" };
            if (first && nag <= 6)
                out_.word(GLYPHS[nag], true);
            else
                out_.word(std::string(1, '$').append(std::to_string(nag)));
            first = false;
        }
        if (!game_.comment(node).empty()) out_.comment(game_.comment(node));
    }

    const GameRecord& game_;
    Notation notation_;
    MoveTextOut& out_;
    bool blackStarts_;
};

} // namespace

std::string_view formatTagOf(Notation notation) {
    return notation == Notation::Wxf ? "WXF" : notation == Notation::Iccs ? "ICCS" : "Chinese";
}

std::string writePgn(const GameRecord& game, Notation notation) {
    std::string text;
    for (const RecordTag& tag : game.tags()) text += tagLine(tag.name, tag.value);
    text += tagLine("FEN", game.startFen());
    text += tagLine("Format", formatTagOf(notation));
    text += '\n';
    MoveTextOut out(text);
    if (!game.comment(GameRecord::ROOT).empty()) out.comment(game.comment(GameRecord::ROOT));
    TreeWriter(game, notation, out).line(game.firstChild(GameRecord::ROOT), 0, 0);
    out.word(game.result());
    return text + "\n\n";
}

} // namespace qinglan
