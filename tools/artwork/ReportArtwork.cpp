// Pictures of the printed results.

#include "ArtworkKit.h"
#include "Artwork.h"

using namespace artwork;

bool drawReportArtwork(const QString& out)
{
    Q_UNUSED(out);
    return true;
}
