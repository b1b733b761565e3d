#include "platform/TransparentLabel.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace qinglan {

namespace {

const QString SONG_FAMILY = QStringLiteral("宋体");
constexpr int LABEL_PIXEL_SIZE = 16;

// Linux has no "宋体"; fontconfig often answers with a Latin face, and Qt then borrows
// each Chinese glyph from whatever font has it. A Song-style CJK face keeps the labels
// in one consistent typeface.
void substituteSongFamily() {
    static bool done = false;
    if (done) return;
    done = true;
    if (QFontDatabase::families().contains(SONG_FAMILY)) return;
    const QString resolved = QFontInfo(QFont(SONG_FAMILY)).family();
    if (QFontDatabase::writingSystems(resolved).contains(QFontDatabase::SimplifiedChinese)) return;
    QFont::insertSubstitutions(SONG_FAMILY,
        { QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("AR PL UMing CN") });
}

} // namespace

TransparentLabel::TransparentLabel(QWidget* parent)
    : QLabel(parent) {
    substituteSongFamily();
    // A child widget without auto-fill paints no background, so the surface beneath
    // shows between the glyphs.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground);
    QFont songFont(SONG_FAMILY);
    songFont.setPixelSize(LABEL_PIXEL_SIZE);
    setFont(songFont);
    // Labels show names that engines chose; such text is never read as markup.
    setTextFormat(Qt::PlainText);
}

TransparentLabel* TransparentLabel::cloneStyle(QWidget* parent) const {
    auto* clone = new TransparentLabel(parent);
    clone->setFont(font());
    clone->setPalette(palette());
    clone->setForegroundRole(foregroundRole());
    clone->setStyleSheet(styleSheet());
    clone->setAlignment(alignment());
    clone->setTextFormat(textFormat());
    clone->setWordWrap(wordWrap());
    clone->setMargin(margin());
    clone->setIndent(indent());
    clone->setContentsMargins(contentsMargins());
    clone->resize(size());
    return clone;
}

} // namespace qinglan
