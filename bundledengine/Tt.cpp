#include "Tt.h"

namespace qinglan::bundled {

void TranspositionTable::resize(int megabytes) {
    if (megabytes < 1) megabytes = 1;
    if (megabytes > 4096) megabytes = 4096;
    std::uint64_t count = 1;
    while (count * 2 * sizeof(Cluster) <= std::uint64_t(megabytes) << 20) count *= 2;
    memory_.reset();
    clusters_ = nullptr;
    mask_ = count - 1;
}

void TranspositionTable::prepare() {
    if (!clusters_) allocate();
}

void TranspositionTable::clear() {
    if (clusters_) allocate();
}

void TranspositionTable::allocate() {
    // An empty entry is all zero bytes, which calloc hands out without writing them: a
    // big block comes straight from the system, its pages zeroed when first touched.
    std::uint64_t count = mask_ + 1;
    memory_.reset();
    memory_.reset(std::calloc(count * sizeof(Cluster) + alignof(Cluster), 1));
    if (!memory_) {
        // Out of memory: the smallest table still lets the search run.
        count = 1;
        memory_.reset(std::calloc(sizeof(Cluster) + alignof(Cluster), 1));
        if (!memory_) std::abort();
    }
    const auto address = reinterpret_cast<std::uintptr_t>(memory_.get());
    clusters_
        = reinterpret_cast<Cluster*>((address + alignof(Cluster) - 1) & ~(alignof(Cluster) - 1));
    mask_ = count - 1;
}

const TtEntry* TranspositionTable::probe(std::uint64_t key) const {
    const Cluster& cluster = clusters_[key & mask_];
    for (const TtEntry& entry : cluster.entries)
        if (entry.key == key && entry.bound() != BOUND_NONE) return &entry;
    return nullptr;
}

void TranspositionTable::store(
    std::uint64_t key, int score, int eval, Move move, int depth, Bound bound) {
    Cluster& cluster = clusters_[key & mask_];
    TtEntry* slot = &cluster.entries[0];
    int worst = 1 << 30;
    for (TtEntry& entry : cluster.entries) {
        if (entry.key == key || entry.bound() == BOUND_NONE) {
            slot = &entry;
            break;
        }
        int age = (age_ - (entry.ageBound >> 2)) & 63;
        int worth = entry.depth - 8 * age;
        if (worth < worst) worst = worth, slot = &entry;
    }
    // Keep the old move when the new result brings none for the same position.
    if (move == 0 && slot->key == key) move = slot->move;
    // A shallow bound does not push out a deeper result for the same position.
    if (slot->key == key && bound != BOUND_EXACT && depth + 2 < slot->depth
        && ((slot->ageBound >> 2) == age_))
        return;
    slot->key = key;
    slot->score = std::int16_t(score);
    slot->eval = std::int16_t(eval);
    slot->move = move;
    slot->depth = std::uint8_t(depth < 0 ? 0 : depth);
    slot->ageBound = std::uint8_t(age_ << 2 | bound);
}

int TranspositionTable::hashfull() const {
    if (!clusters_) return 0;
    int used = 0, seen = 0;
    for (std::uint64_t i = 0; i <= mask_ && seen < 1000; ++i)
        for (const TtEntry& entry : clusters_[i].entries)
            if (seen++ < 1000) used += entry.bound() != BOUND_NONE && (entry.ageBound >> 2) == age_;
    return used;
}

} // namespace qinglan::bundled
