// The compiled-in clips: the container must be one that any WAV player accepts.
#include "resources/Resources.h"

#include <QFile>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

using namespace qinglan;

namespace {

struct Wav {
    int format = 0, channels = 0, sampleRate = 0, byteRate = 0, blockAlign = 0, bitsPerSample = 0;
    QByteArray samples;
};

quint32 le32(const QByteArray& b, qsizetype at) {
    return quint8(b[at]) | (quint8(b[at + 1]) << 8) | (quint8(b[at + 2]) << 16)
        | (quint32(quint8(b[at + 3])) << 24);
}
int le16(const QByteArray& b, qsizetype at) {
    return quint8(b[at]) | (quint8(b[at + 1]) << 8);
}

// Walks the RIFF chunks the way a player does. Fails when a length field disagrees with
// the bytes actually present, or when "fmt " or "data" is missing.
std::optional<Wav> parseWav(const QByteArray& bytes, std::string& why) {
    if (bytes.size() < 12 || bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE") {
        why = "no RIFF/WAVE header";
        return std::nullopt;
    }
    if (le32(bytes, 4) != quint32(bytes.size() - 8)) {
        why = "RIFF length " + std::to_string(le32(bytes, 4)) + " for "
            + std::to_string(bytes.size()) + " bytes";
        return std::nullopt;
    }
    Wav wav;
    bool haveFormat = false, haveData = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 length = le32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (body + qsizetype(length) > bytes.size()) {
            why = "chunk " + id.toStdString() + " runs past the end of the file";
            return std::nullopt;
        }
        if (id == "fmt " && length >= 16) {
            wav.format = le16(bytes, body);
            wav.channels = le16(bytes, body + 2);
            wav.sampleRate = int(le32(bytes, body + 4));
            wav.byteRate = int(le32(bytes, body + 8));
            wav.blockAlign = le16(bytes, body + 12);
            wav.bitsPerSample = le16(bytes, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            wav.samples = bytes.mid(body, length);
            haveData = true;
        }
        at = body + length + (length & 1);
    }
    if (at != bytes.size()) {
        why = "stray bytes after the last chunk";
        return std::nullopt;
    }
    if (!haveFormat || !haveData) {
        why = "missing fmt or data chunk";
        return std::nullopt;
    }
    return wav;
}

} // namespace

TEST(BuiltInSounds, ClipsAreMono8BitPcmAtTheirRatesAndSizes) {
    initBuiltInResources();
    const struct {
        QString path;
        int sampleRate;
        int approxBytes;
    } clips[] = {
        { res::SOUND_CHECK, 22255, 43000 },
        { res::SOUND_CAPTURE, 11025, 6000 },
        { res::SOUND_MOVE, 11025, 2000 },
        { res::SOUND_ILLEGAL, 11025, 6000 },
    };
    for (const auto& clip : clips) {
        SCOPED_TRACE(clip.path.toStdString());
        QFile file(clip.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        std::string why;
        const std::optional<Wav> wav = parseWav(bytes, why);
        ASSERT_TRUE(wav) << why;
        EXPECT_EQ(wav->format, 1) << "PCM";
        EXPECT_EQ(wav->channels, 1);
        EXPECT_EQ(wav->bitsPerSample, 8);
        EXPECT_EQ(wav->sampleRate, clip.sampleRate);
        EXPECT_EQ(wav->byteRate, clip.sampleRate);
        EXPECT_EQ(wav->blockAlign, 1);
        EXPECT_NEAR(bytes.size(), clip.approxBytes, clip.approxBytes / 4);
    }
}

// 8-bit PCM is unsigned with silence at 128: a signed encoding or a clip that starts or
// stops away from silence is heard as a loud click.
TEST(BuiltInSounds, ClipsAreAudibleAndStartAndEndInSilence) {
    initBuiltInResources();
    for (const QString& path :
        { res::SOUND_CHECK, res::SOUND_CAPTURE, res::SOUND_MOVE, res::SOUND_ILLEGAL }) {
        SCOPED_TRACE(path.toStdString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        std::string why;
        const std::optional<Wav> wav = parseWav(file.readAll(), why);
        ASSERT_TRUE(wav) << why;
        const QByteArray& s = wav->samples;
        ASSERT_GT(s.size(), 100);
        int peak = 0;
        for (char c : s) peak = std::max(peak, std::abs(quint8(c) - 128));
        EXPECT_GT(peak, 60) << "too quiet";
        for (qsizetype i : { qsizetype(0), s.size() - 1 })
            EXPECT_LE(std::abs(quint8(s[i]) - 128), 3) << "sample " << i;
    }
}
