// A program that dials with the pppd backend and is killed once connected, leaving its pppd
// behind: arguments are the data port, the runtime folder and the sysfs root.
#include "platform/ras/PppdBackend.h"

#include <QCoreApplication>

#include <csignal>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 4)
        return 2;
    ras::PppdBackend::Settings settings;
    settings.dataPort = argv[1];
    settings.runtimeFolder = argv[2];
    settings.lookup.sysfsRoot = argv[3];
    settings.peersFile.clear();
    ras::PppdBackend backend(settings);
    ras::PhonebookEntry entry;
    entry.name = "Orphan";
    entry.number = "*99#";
    if (backend.setEntryProperties(entry) != ras::kSuccess)
        return 3;
    QObject::connect(&backend, &ras::RasApi::dialEvent,
                     [](ras::ConnectionHandle, uint32_t state, uint32_t) {
                         if (state == ras::kConnected)
                             std::raise(SIGKILL);
                         QCoreApplication::exit(4);
                     });
    ras::ConnectionHandle handle = ras::kNoConnection;
    if (backend.dial({"Orphan", "*99#", "user", "secret"}, handle) != ras::kSuccess)
        return 5;
    return application.exec();
}
