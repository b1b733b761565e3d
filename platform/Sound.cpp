#include "platform/Sound.h"

#include "resources/Resources.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFile>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>
#include <array>

namespace qinglan {

namespace {

class SilentSoundPlayer : public SoundPlayer {
public:
    void play(SoundClip) override { }
};

const QString& clipPath(SoundClip clip) {
    switch (clip) {
    case SoundClip::Check:
        return res::SOUND_CHECK;
    case SoundClip::Capture:
        return res::SOUND_CAPTURE;
    case SoundClip::Move:
        return res::SOUND_MOVE;
    case SoundClip::Illegal:
        break;
    }
    return res::SOUND_ILLEGAL;
}

// Plays through QSoundEffect, which decodes the WAV once and mixes it asynchronously.
// Nothing here ever waits for a sound: without a real device an effect may claim to
// be playing forever.
class EffectSoundPlayer : public SoundPlayer {
public:
    ~EffectSoundPlayer() override {
        for (auto& effect : effects_) delete effect.data();
    }

    void play(SoundClip clip) override {
        QSoundEffect* effect = effectFor(clip);
        if (!effect || effect->status() == QSoundEffect::Error) return;
        // A clip asked for again while it sounds starts over, as a new move would.
        if (effect->isPlaying()) effect->stop();
        effect->play();
    }

private:
    QSoundEffect* effectFor(SoundClip clip) {
        QPointer<QSoundEffect>& effect = effects_[static_cast<std::size_t>(clip)];
        if (effect) return effect;
        // Created on first use, so resources registered after the player still count; a
        // clip that is not built in stays silent.
        const QString& path = clipPath(clip);
        if (!QFile::exists(path)) return nullptr;
        // Owned by the application as well, so a player outliving it never touches a
        // destroyed audio back end.
        effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(QUrl(QStringLiteral("qrc") + path));
        return effect;
    }

    std::array<QPointer<QSoundEffect>, 4> effects_;
};

} // namespace

std::unique_ptr<SoundPlayer> createSoundPlayer() {
    if (qEnvironmentVariableIsSet("QINGLAN_NO_SOUND") || !QCoreApplication::instance())
        return createSilentSoundPlayer();
    // Qt plays into the PulseAudio server; with none reachable there are no outputs.
    if (QMediaDevices::audioOutputs().isEmpty()) return createSilentSoundPlayer();
    return createEffectSoundPlayer();
}

std::unique_ptr<SoundPlayer> createSilentSoundPlayer() {
    return std::make_unique<SilentSoundPlayer>();
}

std::unique_ptr<SoundPlayer> createEffectSoundPlayer() {
    return std::make_unique<EffectSoundPlayer>();
}

} // namespace qinglan
