#pragma once

#include "Position.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

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
// or oldest of the four. Sizing only notes the size: the memory is taken at the first
// search (or "isready"), so the engine answers its handshake at once. It comes zeroed
// from the system and its pages are only touched as entries are written, so making
// and clearing a table is quick however big it is.
class TranspositionTable {
public:
    TranspositionTable() { resize(16); }
    // Size in megabytes, rounded down to a power of two clusters; the memory is
    // given back until prepare().
    void resize(int megabytes);
    // Takes the memory when the table has none; probe and store need it.
    void prepare();
    bool isPrepared() const { return clusters_ != nullptr; }
    // Empties a prepared table.
    void clear();
    // Bytes of the table, touched or not.
    std::uint64_t sizeBytes() const { return (mask_ + 1) * sizeof(Cluster); }
    void newSearch() { age_ = (age_ + 1) & 63; }
    const TtEntry* probe(std::uint64_t key) const;
    void store(std::uint64_t key, int score, int eval, Move move, int depth, Bound bound);
    // Entries of this search among the first thousand, in per mille.
    int hashfull() const;

private:
    struct alignas(64) Cluster {
        TtEntry entries[4];
    };
    struct Release {
        void operator()(void* memory) const { std::free(memory); }
    };
    void allocate();

    std::unique_ptr<void, Release> memory_;
    Cluster* clusters_ = nullptr; // memory_ aligned to a cluster
    std::uint64_t mask_ = 0;
    std::uint8_t age_ = 0;
};

} // namespace qinglan::bundled
