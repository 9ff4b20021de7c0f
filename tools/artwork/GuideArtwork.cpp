// Pictures of the quick-start guide and the feature overview.

#include "ArtworkKit.h"
#include "Artwork.h"

using namespace artwork;

bool drawGuideArtwork(const QString& out)
{
    Q_UNUSED(out);
    return true;
}
