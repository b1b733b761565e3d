#include "Tt.h"

namespace qinglan::bundled {

void TranspositionTable::resize(int megabytes) {
    if (megabytes < 1) megabytes = 1;
    if (megabytes > 4096) megabytes = 4096;
    std::uint64_t count = 1;
    while (count * 2 * sizeof(Cluster) <= std::uint64_t(megabytes) << 20) count *= 2;
    clusters_.assign(count, Cluster {});
    mask_ = count - 1;
}

void TranspositionTable::clear() {
    std::fill(clusters_.begin(), clusters_.end(), Cluster {});
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
    int used = 0, seen = 0;
    for (std::uint64_t i = 0; i < clusters_.size() && seen < 1000; ++i)
        for (const TtEntry& entry : clusters_[i].entries)
            if (seen++ < 1000) used += entry.bound() != BOUND_NONE && (entry.ageBound >> 2) == age_;
    return used;
}

} // namespace qinglan::bundled
