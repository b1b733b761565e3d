#pragma once

#include <memory>

namespace qinglan {

enum class SoundClip { Check, Capture, Move, Illegal };

// Plays a built-in clip once, without blocking. Implementations never fail loudly:
// without an audio device they stay silent.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(SoundClip clip) = 0;
};

// The player for this machine: real output when an audio device exists and
// QINGLAN_NO_SOUND is unset, otherwise silent.
std::unique_ptr<SoundPlayer> createSoundPlayer();
std::unique_ptr<SoundPlayer> createSilentSoundPlayer();
// The Qt Multimedia player whatever the devices (tests use it on machines without any).
std::unique_ptr<SoundPlayer> createEffectSoundPlayer();

} // namespace qinglan
