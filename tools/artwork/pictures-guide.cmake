# Raster pictures drawn by GuideArtwork.cpp (paths below the artwork folder).
list(APPEND artwork_files)
