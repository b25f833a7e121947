#include "bus/drivers/prologix/adapter_target.h"

#include "platform/checked_file.h"

#include <QRegularExpression>

namespace lumodm {

namespace {

std::optional<AdapterTarget> refuse(QString* error, const QString& text)
{
    if (error != nullptr) {
        *error = text;
    }
    return std::nullopt;
}

bool looksLikeSerialDevice(const QString& text)
{
    if (text.startsWith(QLatin1Char('/'))) {
        return true;
    }
    static const QRegularExpression comPort(QStringLiteral("^COM[0-9]+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return comPort.match(text).hasMatch();
}

} // namespace

QString AdapterTarget::text() const
{
    if (kind == Kind::Serial) {
        return clippedForMessage(device);
    }
    const QString shownHost =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return clippedForMessage(shownHost) + QLatin1Char(':') + QString::number(port);
}

std::optional<AdapterTarget> parseAdapterTarget(const QString& text, QString* error)
{
    const QString value = text.trimmed();
    const QString shown = clippedForMessage(value);
    if (value.isEmpty()) {
        return refuse(error, QStringLiteral("no adapter given: name a serial device such as "
                                            "/dev/ttyUSB0 or a HOST[:PORT]"));
    }
    AdapterTarget target;
    if (looksLikeSerialDevice(value)) {
        target.kind = AdapterTarget::Kind::Serial;
        target.device = value;
        return target;
    }

    target.kind = AdapterTarget::Kind::Tcp;
    QString portText;
    if (value.startsWith(QLatin1Char('['))) {
        const qsizetype close = value.indexOf(QLatin1Char(']'));
        if (close < 0) {
            return refuse(
                error, QStringLiteral("\"%1\": missing \"]\" after the IPv6 address").arg(shown));
        }
        target.host = value.mid(1, close - 1);
        const QString rest = value.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':'))) {
                return refuse(error,
                              QStringLiteral("\"%1\": expected \":PORT\" after \"]\"").arg(shown));
            }
            portText = rest.mid(1);
        }
    } else {
        const qsizetype colon = value.indexOf(QLatin1Char(':'));
        if (colon >= 0 && value.indexOf(QLatin1Char(':'), colon + 1) >= 0) {
            return refuse(
                error, QStringLiteral("\"%1\": write an IPv6 address in brackets, e.g. [::1]:1234")
                           .arg(shown));
        }
        target.host = colon < 0 ? value : value.left(colon);
        if (colon >= 0) {
            portText = value.mid(colon + 1);
        }
    }
    if (target.host.isEmpty()) {
        return refuse(error, QStringLiteral("\"%1\": no host name").arg(shown));
    }
    // The longest name DNS knows: a longer one is a mistake, and its
    // lookup and messages would cost without bound.
    if (target.host.size() > kMaxHostName) {
        return refuse(error, QStringLiteral("\"%1\": a host name has at most %2 characters")
                                 .arg(shown, QString::number(kMaxHostName)));
    }
    if (target.host.contains(QRegularExpression(QStringLiteral("\\s")))) {
        return refuse(error, QStringLiteral("\"%1\": a host name has no spaces").arg(shown));
    }
    if (!portText.isNull()) {
        bool ok = false;
        const uint port = portText.toUInt(&ok, 10);
        if (!ok || port < 1 || port > 65535 || !portText.at(0).isDigit()) {
            return refuse(
                error,
                QStringLiteral("\"%1\": the port must be a number from 1 to 65535").arg(shown));
        }
        target.port = static_cast<quint16>(port);
    }
    return target;
}

} // namespace lumodm
