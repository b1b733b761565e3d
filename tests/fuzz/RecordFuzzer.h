// What both game-record fuzzers check of every game a reader gives: it writes as PGN in
// each notation and reads back the same.
#pragma once

#include "records/PgnWriter.h"
#include "records/RecordFile.h"

#include <cstdlib>

namespace qinglan {

inline void requireRoundTrip(const RecordFileContents& contents) {
    for (const ReadGame& read : contents.games)
        for (Notation notation : { Notation::Chinese, Notation::Wxf, Notation::Iccs }) {
            const RecordFileContents again = readRecordBytes(writePgn(read.game, notation));
            if (again.games.size() != 1 || !(again.games[0].game == read.game)) std::abort();
        }
}

} // namespace qinglan
