#pragma once

#include "Position.h"

#include <cstdint>
#include <vector>

namespace qinglan::bundled {

enum Bound : std::uint8_t { BOUND_NONE = 0, BOUND_UPPER = 1, BOUND_LOWER = 2, BOUND_EXACT = 3 };

struct TtEntry {
    std::uint64_t key = 0;
    std::int16_t score = 0;
    std::int16_t eval = 0;
    Move move = 0;
    std::uint8_t depth = 0;
    std::uint8_t ageBound = 0; // age << 2 | bound
    Bound bound() const { return Bound(ageBound & 3); }
};

// Clusters of four entries; a new entry replaces its own key, else the shallowest
// or oldest of the four.
class TranspositionTable {
public:
    TranspositionTable() { resize(16); }
    // Size in megabytes, rounded down to a power of two clusters.
    void resize(int megabytes);
    void clear();
    void newSearch() { age_ = (age_ + 1) & 63; }
    const TtEntry* probe(std::uint64_t key) const;
    void store(std::uint64_t key, int score, int eval, Move move, int depth, Bound bound);
    // Entries of this search among the first thousand, in per mille.
    int hashfull() const;

private:
    struct alignas(64) Cluster {
        TtEntry entries[4];
    };
    std::vector<Cluster> clusters_;
    std::uint64_t mask_ = 0;
    std::uint8_t age_ = 0;
};

} // namespace qinglan::bundled
