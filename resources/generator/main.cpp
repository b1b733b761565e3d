// Writes the built-in images and sounds into a resources folder:
//   qinglan-resgen <resources folder> [--preview <png file>]
// The preview is a whole window's worth (background, board, start position, markers,
// side icons, move list and panel text) composed the way the program layers them.

#include "Art.h"
#include "Preview.h"
#include "Sounds.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

bool saveImage(const QImage& image, const QString& path, int jpegQuality = -1) {
    if (image.save(path, nullptr, jpegQuality)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

bool saveBytes(const QByteArray& bytes, const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    // Fonts need a GUI application, but no display is wanted.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--preview")) {
        std::fprintf(stderr, "usage: qinglan-resgen <resources folder> [--preview <png file>]\n");
        return 2;
    }
    const QDir root(args[1]);
    if (!root.mkpath("images") || !root.mkpath("sounds") || !root.mkpath("icons")) {
        std::fprintf(stderr, "cannot create the output folders under %s\n", qPrintable(args[1]));
        return 1;
    }
    std::printf("glyph font: %s\n", qPrintable(resgen::glyphFamily()));
    const QString images = root.filePath("images/"), sounds = root.filePath("sounds/");

    bool ok = true;
    for (int type = 0; type < 7; ++type) {
        ok &= saveImage(resgen::drawPiece(true, type), images + resgen::pieceFileName(true, type));
        ok &= saveImage(
            resgen::drawPiece(false, type), images + resgen::pieceFileName(false, type));
    }
    ok &= saveImage(resgen::drawSelectionFrame(), images + "selection.png");
    ok &= saveImage(resgen::drawBoard(), images + "board.png");
    ok &= saveImage(resgen::drawBackground(), images + "background.jpg", 90);
    ok &= saveImage(resgen::drawMoveListBackground(), images + "movelist.jpg", 92);
    ok &= saveImage(resgen::drawAppIcon(), images + "icon.png");
    // The desktop's icons, installed into the icon theme (packaging/).
    const QString icons = root.filePath("icons/");
    for (int size : resgen::ICON_SIZES)
        ok &= saveImage(
            resgen::drawAppIcon(size), icons + QStringLiteral("qinglan-%1.png").arg(size));
    ok &= saveBytes(resgen::drawAppIconSvg(), icons + "qinglan.svg");

    ok &= saveBytes(resgen::encodeWav(resgen::synthCheck()), sounds + "check.wav");
    ok &= saveBytes(resgen::encodeWav(resgen::synthCapture()), sounds + "capture.wav");
    ok &= saveBytes(resgen::encodeWav(resgen::synthMove()), sounds + "move.wav");
    ok &= saveBytes(resgen::encodeWav(resgen::synthIllegal()), sounds + "illegal.wav");

    if (args.size() == 4) ok &= saveImage(resgen::composePreview(images), args[3]);
    return ok ? 0 : 1;
}
