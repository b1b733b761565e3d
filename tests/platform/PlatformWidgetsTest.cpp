// The small pieces: sound players that must never fail, the transparent label and the
// balloon tip.
#include "platform/BalloonTip.h"
#include "platform/Sound.h"
#include "platform/TransparentLabel.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

using namespace qinglan;

namespace {

constexpr SoundClip ALL_CLIPS[]
    = { SoundClip::Check, SoundClip::Capture, SoundClip::Move, SoundClip::Illegal };

void playEverything(SoundPlayer& player) {
    for (int round = 0; round < 3; ++round)
        for (SoundClip clip : ALL_CLIPS) player.play(clip);
    QTest::qWait(50);
}

} // namespace

TEST(Sound, PlayersNeverFailWithOrWithoutADevice) {
    auto silent = createSilentSoundPlayer();
    ASSERT_TRUE(silent);
    playEverything(*silent);

    // The test main turns sound off; the machine's own choice is exercised too.
    const QByteArray saved = qgetenv("QINGLAN_NO_SOUND");
    qunsetenv("QINGLAN_NO_SOUND");
    auto machine = createSoundPlayer();
    qputenv("QINGLAN_NO_SOUND", saved);
    ASSERT_TRUE(machine);
    playEverything(*machine);
    machine.reset();

    // Whatever devices exist, the Qt Multimedia player must play, be asked again while
    // playing, and go away without waiting for its sounds.
    auto effects = createEffectSoundPlayer();
    ASSERT_TRUE(effects);
    playEverything(*effects);
    effects->play(SoundClip::Check);
    effects.reset();
    QCoreApplication::processEvents();
}

TEST(TransparentLabel, PaintsOnlyItsTextInASongFace) {
    QWidget parent;
    parent.resize(200, 100);
    parent.setAutoFillBackground(true);
    QPalette green = parent.palette();
    green.setColor(QPalette::Window, Qt::green);
    parent.setPalette(green);

    auto* label = new TransparentLabel(&parent);
    label->setGeometry(0, 0, 200, 40);
    label->setText(QStringLiteral("红方：青岚象棋"));
    EXPECT_FALSE(label->autoFillBackground());
    EXPECT_EQ(label->font().pixelSize(), 16);
    EXPECT_EQ(label->font().family(), QStringLiteral("宋体"));
    // Needs a CJK font (fonts-noto-cjk); the face found must be able to write Chinese.
    const QString face = QFontInfo(label->font()).family();
    EXPECT_TRUE(QFontDatabase::writingSystems(face).contains(QFontDatabase::SimplifiedChinese))
        << face.toStdString();

    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(shot.pixel(195, 35) & 0xffffff, 0x00ff00u); // beside the text: the parent
    bool inked = false;
    for (int x = 0; x < 120 && !inked; ++x)
        for (int y = 0; y < 40 && !inked; ++y) inked = (shot.pixel(x, y) & 0xffffff) != 0x00ff00u;
    EXPECT_TRUE(inked);
}

TEST(TransparentLabel, CloneCopiesTheLookButNotTheText) {
    QWidget parent, otherParent;
    TransparentLabel original(&parent);
    QPalette palette = original.palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    original.setPalette(palette);
    original.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = original.font();
    bold.setBold(true);
    original.setFont(bold);
    original.resize(57, 22);
    original.setText(QStringLiteral("红方"));

    TransparentLabel* clone = original.cloneStyle(&otherParent);
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->parentWidget(), &otherParent);
    EXPECT_EQ(clone->font(), bold);
    EXPECT_EQ(clone->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(clone->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(clone->size(), QSize(57, 22));
    EXPECT_FALSE(clone->autoFillBackground());
    EXPECT_TRUE(clone->text().isEmpty());
}

TEST(BalloonTip, ShowsTheTextNearThePoint) {
    QWidget owner;
    owner.resize(100, 100);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    showBalloonTip(&owner, owner.mapToGlobal(QPoint(10, 10)), QStringLiteral("请先选择引擎"));
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("请先选择引擎"));
    QToolTip::hideText();
}
