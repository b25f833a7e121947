#include "tests/support/fake_plus_plus_adapter.h"

#include <QList>
#include <algorithm>
#include <array>

namespace lumodm::testing {

namespace {

constexpr int MaxReply = 1 << 16;

QByteArray number(int value)
{
    return QByteArray::number(value) + "\r\n";
}

} // namespace

QByteArray FakePlusPlusAdapter::prologixVersion()
{
    return "Prologix GPIB-ETHERNET Controller version 01.06.06.00";
}

QByteArray FakePlusPlusAdapter::ar488Version()
{
    return "AR488 GPIB controller, ver. 0.51.29, 18/03/2024";
}

FakePlusPlusAdapter::FakePlusPlusAdapter(std::unique_ptr<GpibDriver> bus,
                                         FakeAdapterOptions options)
    : bus_(std::move(bus)), options_(std::move(options))
{
}

void FakePlusPlusAdapter::say(const QByteArray& bytes)
{
    if (!options_.strayNuls) {
        output_ += bytes;
        return;
    }
    // NULs before, inside and after, as adapters send them.
    output_ += '\0';
    output_ += bytes.left(bytes.size() / 2);
    output_ += '\0';
    output_ += bytes.mid(bytes.size() / 2);
    output_ += '\0';
}

QByteArray FakePlusPlusAdapter::takeOutput()
{
    QByteArray out;
    out.swap(output_);
    return out;
}

void FakePlusPlusAdapter::receive(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (dropped_) {
            return;
        }
        if (escape_) {
            escape_ = false;
            if (partial_.isEmpty()) {
                escapedStart_ = true;
            }
            partial_ += c;
            continue;
        }
        if (c == '\x1b') {
            escape_ = true;
            continue;
        }
        if (c == '\r' || c == '\n') {
            if (!partial_.isEmpty()) {
                const bool isCommand = !escapedStart_ && partial_.startsWith("++");
                line(partial_, isCommand);
            }
            partial_.clear();
            escapedStart_ = false;
            continue;
        }
        partial_ += c;
    }
}

void FakePlusPlusAdapter::line(const QByteArray& text, bool isCommand)
{
    ++linesTaken_;
    if (linesTaken_ <= options_.bootLines) {
        // Still in its boot loader; the last lost line sees it come up.
        if (linesTaken_ == options_.bootLines) {
            output_ += QByteArray("\0\0", 2) + version() + "\r\n";
        }
        return;
    }
    lines_ << text;
    if (isCommand) {
        command(text);
    } else {
        data(text);
    }
    if (options_.dropAfterLines >= 0 && lines_.size() >= options_.dropAfterLines) {
        dropped_ = true;
    }
}

int FakePlusPlusAdapter::descriptor(int primary, int secondary)
{
    int& ud = descriptors_[primary & 31][secondary & 31];
    if (ud <= 0) {
        ud = bus_->ibdev(0, primary, secondary, 11, 1, 0);
    }
    return ud;
}

void FakePlusPlusAdapter::data(const QByteArray& text)
{
    static const std::array<QByteArray, 4> terminators = {QByteArray("\r\n"), QByteArray("\r"),
                                                          QByteArray("\n"), QByteArray()};
    const QByteArray message = text + terminators[static_cast<std::size_t>(eos_ & 3)];
    bus_->ibwrt(descriptor(primary_, secondary_), message.constData(), message.size());
}

void FakePlusPlusAdapter::command(const QByteArray& text)
{
    const QList<QByteArray> words = text.mid(2).simplified().split(' ');
    const QByteArray name = words.value(0).toLower();
    const bool query = words.size() == 1;
    const int value = words.value(1).toInt();

    auto setting = [&](int& variable) {
        if (query) {
            say(number(variable));
        } else {
            variable = value;
        }
    };

    if (name == "ver") {
        say(version() + "\r\n");
    } else if (name == "addr") {
        if (query) {
            say(number(primary_));
        } else {
            primary_ = value;
            secondary_ = words.size() > 2 ? words.value(2).toInt() : 0;
        }
    } else if (name == "mode") {
        setting(mode_);
    } else if (name == "auto") {
        setting(autoRead_);
    } else if (name == "eoi") {
        setting(eoi_);
    } else if (name == "eos") {
        setting(eos_);
    } else if (name == "eot_enable") {
        setting(eotEnable_);
    } else if (name == "eot_char") {
        setting(eotChar_);
    } else if (name == "read_tmo_ms") {
        setting(readTimeoutMs_);
    } else if (name == "savecfg" && !options_.ar488) {
        setting(saveConfig_);
    } else if (name == "read") {
        const int ud = descriptor(primary_, secondary_);
        QByteArray reply;
        bool end = false;
        char buffer[512];
        while (reply.size() < MaxReply) {
            const int sta = bus_->ibrd(ud, buffer, sizeof buffer);
            const auto got = static_cast<qsizetype>(bus_->status().ibcntl);
            reply += QByteArray(buffer, std::clamp<qsizetype>(got, 0, sizeof buffer));
            if ((sta & gpib::END) != 0) {
                end = true;
                break;
            }
            if ((sta & gpib::ERR) != 0) {
                break;
            }
        }
        if (end && eotEnable_ != 0) {
            reply += static_cast<char>(eotChar_);
        }
        if (!reply.isEmpty()) {
            say(reply);
        }
    } else if (name == "clr") {
        bus_->ibclr(descriptor(primary_, secondary_));
    } else if (name == "spoll") {
        const int primary = query ? primary_ : value;
        const int secondary = words.size() > 2 ? words.value(2).toInt() : (query ? secondary_ : 0);
        if (!options_.spollAnswer.isNull()) {
            say(options_.spollAnswer + "\r\n");
            return;
        }
        char byte = 0;
        const int sta = bus_->ibrsp(descriptor(primary, secondary), &byte);
        if ((sta & gpib::ERR) == 0) {
            say(number(static_cast<unsigned char>(byte)));
        }
    } else if (name == "ifc") {
        bus_->SendIFC(0);
    } else if (name == "ren" && options_.ar488) {
        bus_->ibsre(0, value);
    } else if (name == "findlstn" && options_.ar488 && options_.findListeners) {
        std::array<std::uint16_t, 32> addresses{};
        for (std::uint16_t a = 1; a <= 30; ++a) {
            addresses[a - 1] = a;
        }
        addresses[30] = gpib::NOADDR;
        std::array<std::int16_t, 31> found{};
        bus_->FindLstn(0, addresses.data(), found.data(), 30);
        QByteArray list;
        if ((bus_->status().ibsta & gpib::ERR) == 0) {
            for (std::int64_t i = 0; i < bus_->status().ibcntl && i < 30; ++i) {
                list += (list.isEmpty() ? "" : " ") +
                        QByteArray::number(found[static_cast<std::size_t>(i)]);
            }
        }
        say(list + "\r\n");
    } else {
        say("Unrecognized command\r\n");
    }
}

} // namespace lumodm::testing
