# Raster pictures drawn by SetupArtwork.cpp (paths below the artwork folder).
list(APPEND artwork_files
    images/main_background.png
    images/device_connect.png)
