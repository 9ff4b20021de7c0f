# Raster pictures drawn by GuideArtwork.cpp (paths below the artwork folder).
list(APPEND artwork_files
    images/other_bg_1.png
    images/logo-race-header.png
    images/pro-console.png
    images/pro-corvex-verticle.png
    images/other_bg_2.png
    images/other_bg_2_2.png
    images/other_bg_2_3_1.png
    images/other_bg_2_3_2.png
    images/other_bg_2_4.png
    images/other_bg_2_5_1.png
    images/other_bg_2_5_2.png
    images/other_bg_2_6.png)
