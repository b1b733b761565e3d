#include "platform/Sound.h"

namespace qinglan {

namespace {
class SilentSoundPlayer : public SoundPlayer {
public:
    void play(SoundClip) override { }
};
} // namespace

std::unique_ptr<SoundPlayer> createSoundPlayer() {
    return createSilentSoundPlayer();
}
std::unique_ptr<SoundPlayer> createSilentSoundPlayer() {
    return std::make_unique<SilentSoundPlayer>();
}

} // namespace qinglan
