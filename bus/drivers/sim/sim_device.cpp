#include "bus/drivers/sim/sim_device.h"

#include <algorithm>
#include <cstring>

namespace lumodm {

bool SimDevice::attend()
{
    if (!faults_.absent) {
        return true;
    }
    if (faults_.returnAfterAttempts > 0 && --faults_.returnAfterAttempts == 0) {
        // This attempt still finds nobody; the next one finds the device.
        faults_.absent = false;
        faults_.returnAfterAttempts = -1;
    }
    return false;
}

int SimDevice::write(const char* data, long count, bool eoi)
{
    if (faults_.writeError >= 0) {
        return faults_.writeError;
    }
    if (count > 0) {
        // A message longer than any the meters know is not kept: it can
        // only be garbage, and the input must stay bounded.
        if (input_.size() + count > MaxMessageLength) {
            inputOverflow_ = true;
            input_.clear();
        } else if (!inputOverflow_) {
            input_.append(data, static_cast<qsizetype>(count));
        }
    }
    if (!eoi) {
        return -1;
    }
    const QByteArray message = inputOverflow_ ? QByteArray() : input_;
    input_.clear();
    inputOverflow_ = false;
    // A new message discards an answer nobody read.
    output_.clear();
    readPosition_ = 0;
    log_.add(message);
    handleMessage(message);
    if (faults_.vanishAfterMessages > 0 && --faults_.vanishAfterMessages == 0) {
        leaveBus();
    }
    return -1;
}

SimDevice::ReadResult SimDevice::read(char* buffer, long count)
{
    ReadResult result;
    if (faults_.noAnswer) {
        result.timeout = true;
        return result;
    }
    const qsizetype left = output_.size() - readPosition_;
    if (left <= 0 || count <= 0) {
        result.timeout = left <= 0;
        return result;
    }
    const qsizetype taken = std::min<qsizetype>(left, static_cast<qsizetype>(count));
    std::memcpy(buffer, output_.constData() + readPosition_, static_cast<std::size_t>(taken));
    readPosition_ += taken;
    result.count = static_cast<long>(taken);
    if (readPosition_ >= output_.size()) {
        output_.clear();
        readPosition_ = 0;
        if (faults_.noEnd) {
            // Without END the controller keeps listening for more and times
            // out when it asked for more than there was.
            result.timeout = taken < count;
        } else {
            result.end = true;
        }
    }
    return result;
}

void SimDevice::deviceClear()
{
    input_.clear();
    inputOverflow_ = false;
    output_.clear();
    readPosition_ = 0;
}

std::uint8_t SimDevice::serialPoll()
{
    return takeStatusByte();
}

void SimDevice::sendAnswer(const QByteArray& body)
{
    if (faults_.noAnswer) {
        return;
    }
    QByteArray answer = body + "\r\n";
    if (!faults_.garbage.isEmpty()) {
        answer = faults_.garbage;
    } else if (faults_.answerLength >= 0) {
        constexpr int MaxAnswerLength = 1 << 20;
        const int length = std::clamp(faults_.answerLength, 1, MaxAnswerLength);
        if (length < 2) {
            answer = answer.left(length);
        } else {
            QByteArray padded = body.left(length - 2);
            padded.append(QByteArray(length - 2 - padded.size(), '0'));
            answer = padded + "\r\n";
        }
    }
    output_ += answer;
}

void SimDevice::leaveBus()
{
    faults_.absent = true;
    faults_.vanishAfterMessages = -1;
    deviceClear();
}

} // namespace lumodm
