#include "PrintManager.h"

PrintManager::PrintManager(QObject* parent) : QObject(parent) {}

PrintManager::~PrintManager() = default;
