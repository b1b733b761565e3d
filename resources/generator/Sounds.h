#pragma once

#include <QByteArray>
#include <vector>

// Synthesis of the four built-in clips and their WAV container.

namespace resgen {

struct Clip {
    int sampleRate;
    std::vector<double> samples; // -1 .. 1
};

Clip synthMove();
Clip synthCapture();
Clip synthCheck();
Clip synthIllegal();

// Mono 8-bit unsigned PCM in a canonical 44-byte RIFF/WAVE header.
QByteArray encodeWav(const Clip& clip);

} // namespace resgen
