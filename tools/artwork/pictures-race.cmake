# Raster pictures drawn by RaceArtwork.cpp (paths below the artwork folder).
list(APPEND artwork_files
    images/race_background.png
    images/race_line.png
    images/sprite_0.png images/sprite_1.png images/sprite_2.png images/sprite_3.png
    images/sprite_4.png images/sprite_5.png images/sprite_6.png images/sprite_7.png
    images/sprite_8.png images/sprite_9.png
    images/rank_1.png images/rank_2.png images/rank_3.png)
