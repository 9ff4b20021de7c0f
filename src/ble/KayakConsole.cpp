#include "KayakConsole.h"

QList<KayakConsole> consoles;
