// Starts a rig, prints the process ids of its bus and simulator, and kills itself without any
// clean-up, the hardest way a test process can end. Its temporary folder is left to the
// caller.
#include "BleTestRig.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    static BleTestRig rig; // never destroyed: SIGKILL skips every destructor anyway
    if (!rig.start())
        return 2;
    std::printf("%lld %lld %s\n", rig.busPid(), rig.simulatorPid(),
                qPrintable(rig.busAddress().mid(int(qstrlen("unix:path=")))));
    std::fflush(stdout);
    ::kill(::getpid(), SIGKILL);
    return 3;
}
