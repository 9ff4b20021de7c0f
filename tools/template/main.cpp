// Writes the result workbook template at build time, so that no binary workbook is committed.
//
// Usage: rivanta_template_gen <output .xlsx>

#include "PrintTemplate.h"

#include <QString>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output .xlsx>\n", argv[0]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (!PrintTemplate::write(path)) {
        std::fprintf(stderr, "Could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
