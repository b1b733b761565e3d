#include "GameRecord.h"

#include <algorithm>

namespace qinglan {

namespace {

const std::string EMPTY_TEXT;
const std::vector<std::uint8_t> NO_NAGS;

bool hasBothKings(const Board& board) {
    Grid grid;
    board.getGrid(&grid);
    int kings = 0;
    for (const auto& file : grid)
        for (int code : file) kings |= code == RED + KING ? 1 : code == BLACK + KING ? 2 : 0;
    return kings == 3;
}

} // namespace

std::string normalResult(std::string_view written) {
    static constexpr std::pair<std::string_view, std::string_view> FORMS[] = {
        { "1-0", "1-0" },
        { "0-1", "0-1" },
        { "1/2-1/2", "1/2-1/2" },
        { "½-½", "1/2-1/2" },
        { "红胜", "1-0" },
        { "紅勝", "1-0" },
        { "红先胜", "1-0" },
        { "紅先勝", "1-0" },
        { "黑负", "1-0" },
        { "黑負", "1-0" },
        { "黑胜", "0-1" },
        { "黑勝", "0-1" },
        { "红负", "0-1" },
        { "紅負", "0-1" },
        { "红先负", "0-1" },
        { "紅先負", "0-1" },
        { "和棋", "1/2-1/2" },
        { "和局", "1/2-1/2" },
        { "红先和", "1/2-1/2" },
        { "紅先和", "1/2-1/2" },
        { "和", "1/2-1/2" },
    };
    for (const auto& [form, result] : FORMS)
        if (written == form) return std::string(result);
    return "*";
}

GameRecord::GameRecord()
    : startFen_(START_FEN) {
    nodes_.emplace_back();
}

std::string_view GameRecord::tag(std::string_view name) const {
    for (const RecordTag& t : tags_)
        if (t.name == name) return t.value;
    return {};
}

void GameRecord::setTag(std::string_view name, std::string_view value) {
    if (name == "FEN") {
        setStartFen(value);
        return;
    }
    // A tag is one line of a file: line breaks and other control characters become blanks.
    std::string text(value);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    for (RecordTag& t : tags_)
        if (t.name == name) {
            t.value = std::move(text);
            return;
        }
    tags_.push_back({ std::string(name), std::move(text) });
}

bool GameRecord::setStartFen(std::string_view fen) {
    Board board;
    board.setPosition(fen);
    if (!hasBothKings(board)) return false;
    startFen_ = board.toFen();
    nodes_.resize(1);
    nodes_[ROOT] = Node { 0, 0, NONE, NONE, NONE, NONE, nodes_[ROOT].extra };
    slot_.cursor.reset();
    return true;
}

GameRecord::Cursor& GameRecord::cursorAt(int node) const {
    if (!slot_.cursor) {
        slot_.cursor = std::make_unique<Cursor>();
        slot_.cursor->board.setPosition(startFen_);
    }
    Cursor& c = *slot_.cursor;
    if (c.node == node) return c;
    // Up from both ends to the node they share, then down to node: the cost is the
    // distance between the two, never the depth of the line.
    std::vector<int> down;
    for (int from = c.node, to = node; from != to;) {
        if (nodes_[from].depth >= nodes_[to].depth) {
            c.board.unmakeRawMove(nodes_[from].move, c.captured.back());
            c.captured.pop_back();
            from = nodes_[from].parent;
        } else {
            down.push_back(to);
            to = nodes_[to].parent;
        }
    }
    for (auto it = down.rbegin(); it != down.rend(); ++it)
        c.captured.push_back(c.board.makeRawMove(nodes_[*it].move));
    c.node = node;
    return c;
}

void GameRecord::shrinkToFit() {
    slot_.cursor.reset();
    nodes_.shrink_to_fit();
    extras_.shrink_to_fit();
    tags_.shrink_to_fit();
}

int GameRecord::addMove(int node, std::string_view move) {
    if (node < 0 || node >= nodeCount()) return NONE;
    const int code = coordToMove(move);
    if (move.size() != 4 || code == 0) return NONE;
    if (nodes_[node].depth >= MAX_DEPTH) return NONE;
    Cursor& c = cursorAt(node);
    if (!c.board.isLegalMove(code)) return NONE;
    const int id = nodeCount();
    nodes_.push_back(Node { static_cast<std::uint16_t>(code),
        static_cast<std::uint16_t>(nodes_[node].depth + 1), node });
    Node& parent = nodes_[node];
    (parent.lastChild == NONE ? parent.firstChild : nodes_[parent.lastChild].nextSibling) = id;
    parent.lastChild = id;
    c.captured.push_back(c.board.makeRawMove(code));
    c.node = id;
    return id;
}

std::string GameRecord::moveText(int node) const {
    return node == ROOT ? std::string() : moveToCoord(nodes_[node].move);
}

std::vector<int> GameRecord::mainLine() const {
    std::vector<int> line;
    for (int n = nodes_[ROOT].firstChild; n != NONE; n = nodes_[n].firstChild) line.push_back(n);
    return line;
}

const Board& GameRecord::positionAfter(int node) const {
    return cursorAt(node).board;
}

GameRecord::Extra& GameRecord::extraOf(int node) {
    if (nodes_[node].extra == NONE) {
        nodes_[node].extra = static_cast<int>(extras_.size());
        extras_.emplace_back();
    }
    return extras_[nodes_[node].extra];
}

const std::string& GameRecord::comment(int node) const {
    const int extra = nodes_[node].extra;
    return extra == NONE ? EMPTY_TEXT : extras_[extra].comment;
}

void GameRecord::setComment(int node, std::string_view text) {
    // Blanks around a comment are layout, not content: files pad comments every way.
    constexpr std::string_view BLANKS = " \t\r\n\f\v";
    const std::size_t start = text.find_first_not_of(BLANKS);
    text = start == std::string_view::npos ? std::string_view() : text.substr(start);
    text = text.substr(0, text.find_last_not_of(BLANKS) + 1);
    if (text.empty() && nodes_[node].extra == NONE) return;
    // A PGN comment ends at the first closing brace; its full-width twin reads the same.
    std::string& comment = extraOf(node).comment;
    comment.clear();
    for (char c : text) comment += c == '}' ? std::string_view("｝") : std::string_view(&c, 1);
}

const std::vector<std::uint8_t>& GameRecord::nags(int node) const {
    const int extra = nodes_[node].extra;
    return extra == NONE ? NO_NAGS : extras_[extra].nags;
}

void GameRecord::addNag(int node, int nag) {
    if (node != ROOT && nag > 0 && nag < 256)
        extraOf(node).nags.push_back(static_cast<std::uint8_t>(nag));
}

void GameRecord::clearNags(int node) {
    if (nodes_[node].extra != NONE) extras_[nodes_[node].extra].nags.clear();
}

std::vector<int> GameRecord::removeMove(int node) {
    const int count = nodeCount();
    std::vector<int> newId(count);
    if (node <= ROOT || node >= count) {
        for (int i = 0; i < count; ++i) newId[i] = i;
        return newId;
    }
    Node& parent = nodes_[nodes_[node].parent];
    int before = NONE;
    for (int c = parent.firstChild; c != node; c = nodes_[c].nextSibling) before = c;
    (before == NONE ? parent.firstChild : nodes_[before].nextSibling) = nodes_[node].nextSibling;
    if (parent.lastChild == node) parent.lastChild = before;
    // A node always comes after its parent in the array, so one pass finds the subtree.
    std::vector<bool> removed(count, false);
    removed[node] = true;
    for (int i = node + 1; i < count; ++i) removed[i] = removed[nodes_[i].parent];
    int next = 0;
    for (int i = 0; i < count; ++i) newId[i] = removed[i] ? NONE : next++;
    const auto map = [&newId](int id) { return id == NONE ? NONE : newId[id]; };
    for (int i = 0; i < count; ++i) {
        if (removed[i]) continue;
        Node kept = nodes_[i];
        kept.parent = map(kept.parent);
        kept.firstChild = map(kept.firstChild);
        kept.lastChild = map(kept.lastChild);
        kept.nextSibling = map(kept.nextSibling);
        nodes_[newId[i]] = kept;
    }
    nodes_.resize(next);
    slot_.cursor.reset();
    return newId;
}

bool GameRecord::operator==(const GameRecord& other) const {
    if (tags_ != other.tags_ || startFen_ != other.startFen_ || nodeCount() != other.nodeCount())
        return false;
    // Node ids follow the reading order, which differs between formats: walk both trees.
    std::vector<std::pair<int, int>> pending { { ROOT, ROOT } };
    while (!pending.empty()) {
        const auto [a, b] = pending.back();
        pending.pop_back();
        if (nodes_[a].move != other.nodes_[b].move || comment(a) != other.comment(b)
            || nags(a) != other.nags(b))
            return false;
        int x = nodes_[a].firstChild, y = other.nodes_[b].firstChild;
        for (; x != NONE && y != NONE; x = nodes_[x].nextSibling, y = other.nodes_[y].nextSibling)
            pending.emplace_back(x, y);
        if (x != NONE || y != NONE) return false;
    }
    return true;
}

} // namespace qinglan
