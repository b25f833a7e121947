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
    bool opened() const { return open_; }

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
    bool open_ = false;
};

} // namespace lumodm::testing
