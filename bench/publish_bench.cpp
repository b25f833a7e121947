#include "publish/reading_publisher.h"

#include <benchmark/benchmark.h>

namespace {

using namespace lumodm;

// Processor time publishing adds to one reading on the reading thread: the
// copy queued for the link's thread (here with no broker, so the queue is
// full and every reading also drops the oldest). Goal: under 0.2 ms.
void BM_PublishObserver(benchmark::State& state)
{
    PublishOptions options;
    options.target.host = QStringLiteral("127.0.0.1");
    options.target.port = 1; // nothing listens: the readings stay queued
    options.target.topic = QStringLiteral("bench");
    ReadingPublisher publisher(options, {}, [](const QString&) {});
    publisher.start({QStringLiteral("DM5010"), 16});
    Reading r;
    r.kind = Reading::Kind::Value;
    r.functionCode = QStringLiteral("DCV");
    r.unit = QStringLiteral("V");
    r.readoutText = QStringLiteral(" 1.5000");
    r.rawAnswer = QStringLiteral("DCV +1.5000E+0");
    for (auto _ : state) {
        publisher.readingTaken(r);
    }
    publisher.finish(std::chrono::milliseconds(0));
}
BENCHMARK(BM_PublishObserver)->Unit(benchmark::kMicrosecond);

} // namespace
