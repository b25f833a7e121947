#include "tests/support/fake_plus_plus_loopback.h"

namespace lumodm::testing {

bool LoopbackTransport::open(QString* error)
{
    if (refuseOpen) {
        if (error != nullptr) {
            *error = QStringLiteral("refused");
        }
        return false;
    }
    open_ = true;
    return true;
}

bool LoopbackTransport::send(const QByteArray& bytes)
{
    if (!open_ || adapter_.dropped()) {
        return false;
    }
    adapter_.receive(bytes);
    return true;
}

QByteArray LoopbackTransport::receive(int timeoutMs, bool* lost)
{
    arrived_ += adapter_.takeOutput();
    if (arrived_.isEmpty()) {
        if (!open_ || adapter_.dropped()) {
            *lost = true;
        } else {
            now_ += timeoutMs;
        }
        return {};
    }
    if (now_ + timeoutMs < readyAt_) {
        now_ += timeoutMs;
        return {};
    }
    now_ = std::max(now_ + 1, readyAt_);
    readyAt_ = now_ + gapMs;
    // One piece per call when the adapter's answers come in pieces.
    const int piece = adapter_.options().pieceSize;
    const qsizetype n = piece > 0 ? std::min<qsizetype>(piece, arrived_.size()) : arrived_.size();
    QByteArray bytes = arrived_.left(n);
    arrived_.remove(0, n);
    return bytes;
}

} // namespace lumodm::testing
