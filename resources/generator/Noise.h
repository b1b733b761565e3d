#pragma once

#include <cmath>
#include <cstdint>

// Deterministic value noise for the textures. A hash instead of a random engine keeps
// every run of the generator byte-identical on any standard library.

namespace resgen {

inline double hashUnit(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h ^ (h >> 13)) * 0xC2B2AE35u;
    h ^= static_cast<std::uint32_t>(y) * 0x27D4EB2Fu;
    h = (h ^ (h >> 15)) * 0x165667B1u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

// Smooth noise in [0, 1] on a lattice of spacing 1.
inline double valueNoise(double x, double y, std::uint32_t seed) {
    const int ix = static_cast<int>(std::floor(x));
    const int iy = static_cast<int>(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = hashUnit(ix, iy, seed), b = hashUnit(ix + 1, iy, seed);
    const double c = hashUnit(ix, iy + 1, seed), d = hashUnit(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

// Fractal sum of octaves, normalised to [0, 1].
inline double fractalNoise(double x, double y, int octaves, std::uint32_t seed) {
    double sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(x, y, seed + 101u * i);
        total += amplitude;
        amplitude *= 0.5;
        x *= 2;
        y *= 2;
    }
    return sum / total;
}

inline double clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

inline double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

} // namespace resgen
