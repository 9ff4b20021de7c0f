# Raster pictures drawn by RaceArtwork.cpp (paths below the artwork folder).
list(APPEND artwork_files)
