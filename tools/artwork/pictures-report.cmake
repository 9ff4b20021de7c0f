# Raster pictures drawn by ReportArtwork.cpp (paths below the artwork folder).
list(APPEND artwork_files
    images/logo.png)
