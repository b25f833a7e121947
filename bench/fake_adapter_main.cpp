// A fake Prologix GPIB-ETHERNET adapter on a loopback port, in front of a
// simulated bus, for benchmarks that run the programs against an adapter
// (bench/several_meters_bench.sh). Prints "127.0.0.1:PORT" on a line of
// its own, serves one connection, and ends on SIGINT or SIGTERM. With
// --pty it is a USB one instead, on the pseudo-terminal it prints.
// Usage: lumodm_fake_adapter [METERS] [--pty]   (METERS as after --sim=,
// e.g. DM5010@1,DM5010@2; default DM5010@16)
//
// The adapter answers at once. A read it has no answer for (a silent
// meter) gets no reply at all, as from a real adapter, so the program's
// driver waits out the device's timeout in real time.
#include "bus/drivers/sim/sim_bus_factory.h"
#include "tests/support/fake_adapter_server.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <pthread.h>

int main(int argc, char** argv)
{
    using lumodm::testing::FakeAdapterServer;
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString first = arguments.value(1);
    const QString meters =
        first.isEmpty() || first.startsWith(QLatin1Char('-')) ? QStringLiteral("DM5010@16") : first;
    QString error;
    std::unique_ptr<lumodm::SimulatedBus> bus = lumodm::createSimulatedBus(meters, &error);
    if (!bus) {
        std::fprintf(stderr, "lumodm_fake_adapter: %s\n", qPrintable(error));
        return 2;
    }

    // Blocked before the serving thread starts, so only sigwait takes them.
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGINT);
    sigaddset(&ending, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);

    const bool pty = arguments.contains(QStringLiteral("--pty"));
    FakeAdapterServer server(pty ? FakeAdapterServer::Kind::Pty : FakeAdapterServer::Kind::Tcp,
                             std::move(bus));
    if (!server.start(&error)) {
        std::fprintf(stderr, "lumodm_fake_adapter: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(server.target()));
    std::fflush(stdout);
    int signal = 0;
    sigwait(&ending, &signal);
    return 0;
}
