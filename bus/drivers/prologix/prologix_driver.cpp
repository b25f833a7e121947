#include "bus/drivers/prologix/prologix_driver.h"

#include "bus/drivers/prologix/plus_plus_text.h"
#include "platform/checked_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lumodm {

namespace {

constexpr int MaxAddressListEntries = 31 * 32 + 1;

} // namespace

PrologixDriver::PrologixDriver(std::unique_ptr<PlusPlusTransport> transport, Adapter adapter,
                               PlusPlusTimings timings)
    : transport_(std::move(transport)), link_(*transport_), timings_(timings),
      ar488_(adapter == Adapter::Ar488)
{
}

PrologixDriver::~PrologixDriver()
{
    close();
}

bool PrologixDriver::open(QString* error)
{
    auto failWith = [&](const QString& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        transport_->close();
        return false;
    };
    const QString where = clippedForMessage(transport_->describe());
    QString reason;
    if (!transport_->open(&reason)) {
        return failWith(
            QStringLiteral("Cannot open the GPIB adapter at %1: %2").arg(where, reason));
    }

    // An adapter on a small board restarts when its port opens and loses
    // what it is sent meanwhile: ask until it answers.
    const qint64 giveUpAt = link_.now() + timings_.startupMs;
    std::optional<QByteArray> answer;
    while (!answer && !link_.lost() && link_.now() < giveUpAt) {
        link_.queue("++ver");
        if (!link_.flush()) {
            break;
        }
        answer = link_.readLine(std::min(link_.now() + timings_.probeMs, giveUpAt));
    }
    if (!answer) {
        return failWith(
            link_.lost()
                ? QStringLiteral("The GPIB adapter at %1 closed the connection.").arg(where)
                : QStringLiteral("The GPIB adapter at %1 did not answer \"++ver\" "
                                 "within %2 s.")
                      .arg(where)
                      .arg(timings_.startupMs / 1000.0));
    }
    // Let start-up messages and the answers to earlier probes go by, then
    // take the adapter's own version text: it marks where answers end.
    link_.drainUntilQuiet(timings_.quietMs, link_.now() + timings_.syncMs);
    link_.queue("++ver");
    link_.flush();
    answer = link_.readLine(link_.now() + timings_.syncMs);
    if (!answer || answer->isEmpty()) {
        return failWith(
            QStringLiteral("The GPIB adapter at %1 stopped answering \"++ver\".").arg(where));
    }
    version_ = *answer;
    ar488_ = ar488_ || version_.toUpper().contains("AR488");

    // Controller, no read after write, EOI with the last byte and nothing
    // appended to writes, the end of a read marked. The Prologix adapters
    // would store each setting in their memory; AR488 stores on request only.
    if (!ar488_) {
        link_.queue("++savecfg 0");
    }
    link_.queue("++mode 1");
    link_.queue("++auto 0");
    link_.queue("++eoi 1");
    link_.queue("++eos 3");
    link_.queue("++eot_enable 1");
    link_.queue("++eot_char " + QByteArray::number(static_cast<int>(EndMark)));
    adapterEoi_ = 1;
    if (!link_.flush() || !link_.sync(version_, link_.now() + timings_.syncMs, nullptr)) {
        return failWith(
            QStringLiteral("The GPIB adapter at %1 stopped answering while being set up.")
                .arg(where));
    }
    return true;
}

void PrologixDriver::close()
{
    link_.flush();
    transport_->close();
    link_.abandon();
}

bool PrologixDriver::connectionLost() const
{
    return link_.lost();
}

// --- status ----------------------------------------------------------------

int PrologixDriver::failLost()
{
    return fail(gpib::EBUS);
}

int PrologixDriver::notInStep()
{
    return link_.lost() ? failLost() : fail(gpib::EABO, gpib::TIMO);
}

bool PrologixDriver::catchUp(qint64 deadline)
{
    if (!outOfStep_) {
        return !link_.lost();
    }
    // What the adapter still sends of an old answer comes before its
    // version line: wait for that line and drop everything before it.
    link_.discardArrived();
    outOfStep_ = !link_.sync(version_, deadline, nullptr);
    return !outOfStep_;
}

// --- what the adapter is told --------------------------------------------

int PrologixDriver::adapterTimeoutMs(int timeoutCode) const
{
    // Prologix adapters take up to 3 s, AR488 up to 32 s; "never" is the
    // longest they have.
    const int longest = ar488_ ? 32000 : 3000;
    const double seconds = gpib::timeoutSeconds(timeoutCode);
    if (seconds <= 0.0) {
        return longest;
    }
    return static_cast<int>(std::clamp(std::ceil(seconds * 1000.0), 1.0, double(longest)));
}

int PrologixDriver::readLimitMs(int timeoutCode) const
{
    const double seconds = gpib::timeoutSeconds(timeoutCode);
    const double ms = seconds > 0.0 ? std::ceil(seconds * 1000.0) : adapterTimeoutMs(timeoutCode);
    return static_cast<int>(std::clamp(ms, 1.0, 1.0e7)) + timings_.marginMs;
}

QByteArray PrologixDriver::addressText(int primary, int secondary)
{
    QByteArray text = QByteArray::number(primary);
    if (secondary != 0) {
        text += ' ' + QByteArray::number(secondary);
    }
    return text;
}

void PrologixDriver::selectAddress(int primary, int secondary)
{
    if (primary != adapterPrimary_ || secondary != adapterSecondary_) {
        link_.queue("++addr " + addressText(primary, secondary));
        adapterPrimary_ = primary;
        adapterSecondary_ = secondary;
    }
}

void PrologixDriver::selectEoi(bool on)
{
    if (adapterEoi_ != int(on)) {
        link_.queue(on ? "++eoi 1" : "++eoi 0");
        adapterEoi_ = int(on);
    }
}

void PrologixDriver::selectTimeout(int ms)
{
    if (ms != adapterTimeoutMs_) {
        link_.queue("++read_tmo_ms " + QByteArray::number(ms));
        adapterTimeoutMs_ = ms;
    }
}

// --- board calls ---------------------------------------------------------

int PrologixDriver::SendIFC(int board)
{
    if (board != 0) {
        return fail(gpib::ENEB);
    }
    link_.queue("++ifc");
    return link_.flush() ? done(gpib::CIC) : failLost();
}

int PrologixDriver::ibsre(int board, int value)
{
    if (board != 0) {
        return fail(gpib::ENEB);
    }
    // A Prologix controller asserts remote enable by itself.
    if (ar488_) {
        link_.queue(value != 0 ? "++ren 1" : "++ren 0");
    }
    return link_.flush() ? done(gpib::CIC) : failLost();
}

std::optional<std::vector<int>> PrologixDriver::adapterListeners()
{
    // The answer's end is where the version line comes back.
    link_.discardArrived();
    link_.queue("++findlstn");
    QByteArray answer;
    if (!link_.flush() || !link_.sync(version_, link_.now() + timings_.syncMs, &answer)) {
        outOfStep_ = !link_.lost();
        return std::nullopt;
    }
    const std::vector<int> found = plusplus::addressesIn(answer);
    // An adapter without the command says nothing or complains in words.
    if (found.empty()) {
        return std::nullopt;
    }
    return found;
}

PrologixDriver::PollResult PrologixDriver::poll(int primary, int secondary, int adapterMs,
                                                int marginMs, int* value)
{
    if (!catchUp(link_.now() + timings_.syncMs)) {
        return link_.lost() ? PollResult::Lost : PollResult::Late;
    }
    selectTimeout(adapterMs);
    link_.discardArrived();
    link_.queue("++spoll " + addressText(primary, secondary));
    if (!link_.flush()) {
        return PollResult::Lost;
    }
    std::optional<QByteArray> line = link_.readLine(link_.now() + adapterMs + marginMs);
    if (!line) {
        if (link_.lost()) {
            return PollResult::Lost;
        }
        // No answer yet: the version line shows whether one is still coming.
        QByteArray before;
        if (!link_.sync(version_, link_.now() + timings_.syncMs, &before)) {
            outOfStep_ = !link_.lost();
            return link_.lost() ? PollResult::Lost : PollResult::Late;
        }
        before = before.trimmed();
        if (before.isEmpty()) {
            return PollResult::Silent;
        }
        line = before.mid(before.lastIndexOf('\n') + 1);
    }
    const std::optional<int> byte = plusplus::statusByte(*line);
    if (!byte) {
        return PollResult::Garbled;
    }
    *value = *byte;
    return PollResult::Answered;
}

int PrologixDriver::FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                             int limit)
{
    if (board != 0) {
        return fail(gpib::ENEB);
    }
    if (addressList == nullptr || results == nullptr || limit < 1) {
        return fail(gpib::EARG);
    }
    if (link_.lost()) {
        return failLost();
    }
    std::vector<std::uint16_t> candidates;
    for (int i = 0; i < MaxAddressListEntries && addressList[i] != gpib::NOADDR; ++i) {
        const int word = addressList[i];
        if (!validPrimary(word & 0xFF) || !validSecondary((word >> 8) & 0xFF)) {
            return fail(gpib::EARG);
        }
        candidates.push_back(addressList[i]);
    }

    std::vector<std::uint16_t> listening;
    const auto boardWord = static_cast<std::uint16_t>(BoardAddress);
    if (std::find(candidates.begin(), candidates.end(), boardWord) != candidates.end()) {
        listening.push_back(boardWord);
    }
    std::optional<std::vector<int>> byAdapter;
    if (ar488_) {
        byAdapter = adapterListeners();
        if (link_.lost()) {
            return failLost();
        }
    }
    for (std::uint16_t word : candidates) {
        if (word == boardWord) {
            continue;
        }
        const int primary = word & 0xFF;
        const int secondary = (word >> 8) & 0xFF;
        bool listens = false;
        if (byAdapter) {
            listens = secondary == 0 &&
                      std::find(byAdapter->begin(), byAdapter->end(), primary) != byAdapter->end();
        } else {
            // A device that answers a serial poll is there to listen.
            int byte = 0;
            const PollResult result = poll(primary, secondary, timings_.discoveryPollMs,
                                           timings_.discoveryMarginMs, &byte);
            if (result == PollResult::Lost) {
                return failLost();
            }
            // An adapter that stopped answering would cost every address
            // its wait: discovery fails instead.
            if (result == PollResult::Late) {
                return fail(gpib::EABO, gpib::TIMO | gpib::CIC);
            }
            listens = result == PollResult::Answered;
        }
        if (listens) {
            listening.push_back(word);
        }
    }

    int found = 0;
    for (std::uint16_t word : listening) {
        if (found == limit) {
            return fail(gpib::ETAB, gpib::CIC, found);
        }
        results[found++] = static_cast<std::int16_t>(word);
    }
    if (found == 0) {
        return fail(gpib::EBUS, gpib::CIC);
    }
    return done(gpib::CIC, found);
}

// --- device calls ----------------------------------------------------------

int PrologixDriver::ibclr(int ud)
{
    Descriptor* d = descriptor(ud);
    if (d == nullptr) {
        return fail(gpib::EDVR);
    }
    pending_ = Pending{};
    if (!catchUp(link_.now() + timings_.syncMs)) {
        return notInStep();
    }
    selectAddress(d->primary, d->secondary);
    link_.queue("++clr");
    return link_.flush() ? done(0) : failLost();
}

int PrologixDriver::ibrsp(int ud, char* statusByte)
{
    Descriptor* d = descriptor(ud);
    if (d == nullptr) {
        return fail(gpib::EDVR);
    }
    if (statusByte == nullptr) {
        return fail(gpib::EARG);
    }
    if (link_.lost()) {
        return failLost();
    }
    int byte = 0;
    switch (poll(d->primary, d->secondary, adapterTimeoutMs(d->timeoutCode), timings_.marginMs,
                 &byte)) {
    case PollResult::Answered:
        *statusByte = static_cast<char>(static_cast<unsigned char>(byte));
        return done(0, 1);
    case PollResult::Silent:
    case PollResult::Late:
        return fail(gpib::EABO, gpib::TIMO);
    case PollResult::Garbled:
        return fail(gpib::EDVR);
    case PollResult::Lost:
        break;
    }
    return failLost();
}

int PrologixDriver::ibwrt(int ud, const char* data, long count)
{
    Descriptor* d = descriptor(ud);
    if (d == nullptr) {
        return fail(gpib::EDVR);
    }
    if (count < 0 || (data == nullptr && count > 0)) {
        return fail(gpib::EARG);
    }
    // A new command makes the rest of an earlier answer worthless; looking
    // at what came also notices a connection the adapter closed.
    pending_ = Pending{};
    if (!catchUp(link_.now() + timings_.syncMs)) {
        return notInStep();
    }
    link_.discardArrived();
    if (link_.lost()) {
        return failLost();
    }
    selectAddress(d->primary, d->secondary);
    selectEoi(d->eoiOnLast);
    if (count > 0) {
        link_.queue(plusplus::escaped(data, count));
    }
    return link_.flush() ? done(0, count) : failLost();
}

int PrologixDriver::ibrd(int ud, char* buffer, long count)
{
    Descriptor* d = descriptor(ud);
    if (d == nullptr) {
        return fail(gpib::EDVR);
    }
    if (buffer == nullptr || count <= 0) {
        return fail(gpib::EARG);
    }
    if (link_.lost()) {
        return failLost();
    }

    bool timedOut = false;
    if (pending_.primary != d->primary || pending_.secondary != d->secondary ||
        pending_.data.isEmpty()) {
        // Fixed now, however the bytes come: a trickle cannot hold the read.
        const qint64 deadline = link_.now() + readLimitMs(d->timeoutCode);
        if (!catchUp(std::min(link_.now() + timings_.syncMs, deadline))) {
            return notInStep();
        }
        const int adapterMs = adapterTimeoutMs(d->timeoutCode);
        selectAddress(d->primary, d->secondary);
        selectTimeout(adapterMs);
        link_.discardArrived();
        link_.queue("++read eoi");
        if (!link_.flush()) {
            return failLost();
        }
        PlusPlusLink::Data data = link_.readUntil(EndMark, adapterMs + timings_.marginMs, deadline);
        if (!data.complete) {
            if (link_.lost()) {
                return failLost();
            }
            // The adapter gave up, or is still reading: the next call waits
            // until it is in step again before it asks anything.
            outOfStep_ = true;
        }
        timedOut = !data.complete;
        pending_ = Pending{d->primary, d->secondary, data.bytes, data.complete};
    }

    const qsizetype n = std::min<qsizetype>(pending_.data.size(), count);
    std::memcpy(buffer, pending_.data.constData(), static_cast<std::size_t>(n));
    pending_.data.remove(0, n);
    if (timedOut) {
        pending_ = Pending{};
        return fail(gpib::EABO, gpib::TIMO, n);
    }
    const bool end = pending_.data.isEmpty() && pending_.end;
    if (pending_.data.isEmpty()) {
        pending_ = Pending{};
    }
    return done(end ? gpib::END : 0, n);
}

} // namespace lumodm
