// Pictures of the set-up screens (console connection, console addresses).

#include "ArtworkKit.h"
#include "Artwork.h"

using namespace artwork;

bool drawSetupArtwork(const QString& out)
{
    Q_UNUSED(out);
    return true;
}
