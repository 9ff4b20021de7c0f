#include "AthleteImport.h"

bool AthleteImport::load(const QString& path)
{
    Q_UNUSED(path);
    return false;
}
