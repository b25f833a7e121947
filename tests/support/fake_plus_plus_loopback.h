#pragma once

#include "bus/drivers/prologix/plus_plus_transport.h"
#include "tests/support/fake_plus_plus_adapter.h"

namespace lumodm::testing {

// The "++" driver's transport straight into a fake adapter, on a clock of
// its own: waiting for bytes that do not come moves that clock instead of
// taking time, so timeouts cost nothing and every run is the same.
class LoopbackTransport : public PlusPlusTransport
{
  public:
    explicit LoopbackTransport(FakePlusPlusAdapter& adapter) : adapter_(adapter) {}

    bool refuseOpen = false;
    // Each piece of the adapter's output comes this long after the one before.
    int gapMs = 0;
    bool opened() const { return open_; }
    // The adapter's next output comes no sooner than `ms` from now.
    void holdFor(qint64 ms) { readyAt_ = now_ + ms; }
    // Time the program spends elsewhere (the panel's wait between readings).
    void pass(qint64 ms) { now_ += ms; }

    bool open(QString* error) override;
    void close() override { open_ = false; }
    bool send(const QByteArray& bytes) override;
    QByteArray receive(int timeoutMs, bool* lost) override;
    qint64 nowMs() override { return now_; }
    QString describe() const override { return QStringLiteral("loopback"); }

  private:
    FakePlusPlusAdapter& adapter_;
    QByteArray arrived_;
    qint64 now_ = 0;
    qint64 readyAt_ = 0;
    bool open_ = false;
};

} // namespace lumodm::testing
