// Pictures of the race screen.

#include "ArtworkKit.h"
#include "Artwork.h"

using namespace artwork;

bool drawRaceArtwork(const QString& out)
{
    Q_UNUSED(out);
    return true;
}
