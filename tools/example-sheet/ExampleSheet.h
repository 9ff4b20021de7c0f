#pragma once

#include <QString>

// The example athlete sheet for "Import Excel": the organiser and event lines and six athletes
// in the cells the import reads, with captions in cells it leaves alone.
class ExampleSheet
{
public:
    static bool write(const QString& path);
};
