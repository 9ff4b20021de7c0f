// Starts a rig, prints the process ids of its bus and simulator, and aborts without any
// clean-up, as a crashing test would.
#include "BleTestRig.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    static BleTestRig rig; // never destroyed: abort() skips every destructor anyway
    if (!rig.start())
        return 2;
    std::printf("%lld %lld\n", rig.busPid(), rig.simulatorPid());
    std::fflush(stdout);
    std::abort();
}
