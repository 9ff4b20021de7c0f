#pragma once

class SharedData;

// Makes the native objects, and the face the screens are laid out for, known to the screen
// documents; the program and the screen tests set them up the same way.
class AppSetup
{
public:
    static void registerTypes(SharedData* sharedData);

    // The screens are laid out for the system face of macOS. Elsewhere the default sans face
    // can be much wider (DejaVu Sans on Debian) and cuts their one-line texts short, so a face
    // of the same widths as Helvetica takes its place where one is installed.
    static void useHelveticaWidths();
};
