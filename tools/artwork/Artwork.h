#pragma once

#include <QString>

// Each picture set writes its files below the output folder `out`, at the paths listed for it in
// pictures.cmake, and returns false when one could not be written.

// Pictures of the home screen and the application icon.
bool drawHomeArtwork(const QString& out);
// Pictures of the set-up screens (console connection, console addresses).
bool drawSetupArtwork(const QString& out);
// Pictures of the race screen.
bool drawRaceArtwork(const QString& out);
// Pictures of the quick-start guide and the feature overview.
bool drawGuideArtwork(const QString& out);
// Pictures of the printed results.
bool drawReportArtwork(const QString& out);
