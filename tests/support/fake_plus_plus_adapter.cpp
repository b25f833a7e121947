#include "tests/support/fake_plus_plus_adapter.h"

#include <algorithm>
#include <array>
#include <utility>

namespace lumodm::testing {

QByteArray FakePlusPlusAdapter::versionOf(bool ar488)
{
    return ar488 ? "AR488 GPIB controller, ver. 0.51.29, 18/03/2024"
                 : "Prologix GPIB-ETHERNET Controller version 01.06.06.00";
}

FakePlusPlusAdapter::FakePlusPlusAdapter(std::unique_ptr<GpibDriver> bus,
                                         FakeAdapterOptions options)
    : bus_(std::move(bus)), options_(std::move(options))
{
}

void FakePlusPlusAdapter::say(const QByteArray& bytes)
{
    // NULs before, inside and after, as adapters send them.
    const QByteArray nul = options_.strayNuls ? QByteArray(1, '\0') : QByteArray();
    output_ += nul + bytes.left(bytes.size() / 2) + nul + bytes.mid(bytes.size() / 2) + nul;
}

QByteArray FakePlusPlusAdapter::takeOutput()
{
    return std::exchange(output_, {});
}

void FakePlusPlusAdapter::take(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (dropped_) {
            return;
        }
        const bool lineEnd = !escape_ && (c == '\r' || c == '\n');
        if (escape_ || (c != '\x1b' && c != '\r' && c != '\n')) {
            escapedStart_ = escapedStart_ || (escape_ && partial_.isEmpty());
            escape_ = false;
            partial_ += c;
        } else if (c == '\x1b') {
            escape_ = true;
        } else if (!partial_.isEmpty() && ++linesTaken_ <= options_.bootLines) {
            // Still in its boot loader; the last lost line sees it come up.
            if (linesTaken_ == options_.bootLines) {
                output_ += QByteArray("\0\0", 2) + versionOf(options_.ar488) + "\r\n";
            }
        } else if (!partial_.isEmpty()) {
            lines_ << partial_;
            if (!escapedStart_ && partial_.startsWith("++")) {
                command(partial_.mid(2).simplified().split(' '));
            } else {
                const QByteArray ends[] = {"\r\n", "\r", "\n", ""};
                const QByteArray message = partial_ + ends[settings_["eos"] & 3];
                bus_->ibwrt(descriptor(setting("addr")), message.constData(), message.size());
            }
            dropped_ = dropAt_ >= 0 && lines_.size() >= dropAt_;
        }
        if (lineEnd) {
            partial_.clear();
            escapedStart_ = false;
        }
    }
}

int FakePlusPlusAdapter::descriptor(int primary)
{
    int& ud = descriptors_[primary];
    ud = ud > 0 ? ud : bus_->ibdev(0, primary, 0, 11, 1, 0);
    return ud;
}

void FakePlusPlusAdapter::command(const QList<QByteArray>& words)
{
    const QByteArray& name = words[0];
    const int value = words.value(1).toInt();
    if (name == "ver") {
        say(versionOf(options_.ar488) + "\r\n");
    } else if (name == "read") {
        QByteArray reply;
        char buffer[512];
        int sta = 0;
        for (int piece = 0; piece < 128 && (sta & (gpib::END | gpib::ERR)) == 0; ++piece) {
            sta = bus_->ibrd(descriptor(setting("addr")), buffer, sizeof buffer);
            reply += QByteArray(buffer, std::clamp<qsizetype>(bus_->status().ibcntl, 0, 512));
        }
        if ((sta & gpib::END) != 0 && setting("eot_enable") != 0) {
            reply += static_cast<char>(setting("eot_char"));
        }
        if (!reply.isEmpty()) {
            say(reply);
        }
    } else if (name == "clr") {
        bus_->ibclr(descriptor(setting("addr")));
    } else if (name == "spoll" && !options_.spollAnswer.isNull()) {
        say(options_.spollAnswer + "\r\n");
    } else if (name == "spoll") {
        char byte = 0;
        if ((bus_->ibrsp(descriptor(value), &byte) & gpib::ERR) == 0) {
            say(QByteArray::number(static_cast<unsigned char>(byte)) + "\r\n");
        }
    } else if (name == "ifc") {
        bus_->SendIFC(0);
    } else if (name == "ren" && options_.ar488) {
        bus_->ibsre(0, value);
    } else if (name == "findlstn" && options_.ar488 && options_.findListeners) {
        std::array<std::uint16_t, 31> addresses{};
        for (std::uint16_t a = 1; a <= 30; ++a) {
            addresses[a - 1] = a;
        }
        addresses[30] = gpib::NOADDR;
        std::array<std::int16_t, 30> found{};
        const bool ok = (bus_->FindLstn(0, addresses.data(), found.data(), 30) & gpib::ERR) == 0;
        QByteArray list;
        for (qint64 i = 0; ok && i < std::min<qint64>(bus_->status().ibcntl, 30); ++i) {
            list += " " + QByteArray::number(found[static_cast<std::size_t>(i)]);
        }
        say(list.trimmed() + "\r\n");
    } else if (words.size() == 2) {
        settings_[name] = value; // "++addr 16", "++eos 3", "++read_tmo_ms 3000" ...
    } else {
        say("Unrecognized command\r\n");
    }
}

bool FakePlusPlusAdapter::send(const QByteArray& bytes)
{
    if (!open_ || dropped_) {
        return false;
    }
    take(bytes);
    return true;
}

QByteArray FakePlusPlusAdapter::receive(int timeoutMs, bool* lost)
{
    arrived_ += takeOutput();
    if (arrived_.isEmpty() || now_ + timeoutMs < readyAt_) {
        *lost = arrived_.isEmpty() && (!open_ || dropped_);
        now_ += *lost ? 0 : timeoutMs;
        return {};
    }
    now_ = std::max(now_ + 1, readyAt_);
    readyAt_ = now_ + gapMs;
    // One piece per call when the adapter's answers come in pieces.
    const qsizetype n = options_.pieceSize > 0 ? options_.pieceSize : arrived_.size();
    QByteArray bytes = arrived_.left(n);
    arrived_.remove(0, n);
    return bytes;
}

} // namespace lumodm::testing
