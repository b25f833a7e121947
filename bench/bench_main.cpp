#include "bench/run_benchmarks.h"

#include <QCoreApplication>

// The core's waits process Qt events, so the benchmarks run inside an
// application object like the program does.
int main(int argc, char** argv)
{
    lumodm::useOffscreenUnlessAsked();
    QCoreApplication app(argc, argv);
    return lumodm::runBenchmarks(argc, argv);
}
