// Writes the example athlete sheet at build time, so that no binary workbook is committed.
//
// Usage: rivanta_example_sheet <output .xlsx>

#include "ExampleSheet.h"

#include <QString>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output .xlsx>\n", argv[0]);
        return 2;
    }
    if (!ExampleSheet::write(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "Could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
