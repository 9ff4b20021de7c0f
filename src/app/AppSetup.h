#pragma once

class SharedData;

// Makes the native objects known to the screen documents; the program and the screen tests
// register them the same way.
class AppSetup
{
public:
    static void registerTypes(SharedData* sharedData);
};
