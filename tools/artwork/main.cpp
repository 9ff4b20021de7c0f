// Draws the application's raster pictures at build time, so that no generated binary is
// committed. Each screen's pictures are drawn by their own file (see Artwork.h).
//
// Usage: rivanta_artwork_gen <output folder> <icon font file>

#include "Artwork.h"
#include "ArtworkKit.h"

#include <QFontDatabase>
#include <QGuiApplication>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        qWarning("usage: %s <output folder> <icon font file>", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int fontId = QFontDatabase::addApplicationFont(QString::fromLocal8Bit(argv[2]));
    if (fontId < 0) {
        qWarning("Could not load the icon font %s", argv[2]);
        return 1;
    }
    artwork::iconFontFamily = QFontDatabase::applicationFontFamilies(fontId).value(0);

    bool ok = true;
    ok &= drawHomeArtwork(out);
    ok &= drawSetupArtwork(out);
    ok &= drawRaceArtwork(out);
    ok &= drawGuideArtwork(out);
    ok &= drawReportArtwork(out);
    return ok ? 0 : 1;
}
