#include "publish/publish_target.h"

namespace lumodm {

namespace {

std::optional<PublishTarget> refuse(QString* error, const QString& text)
{
    if (error != nullptr) {
        *error = text;
    }
    return std::nullopt;
}

} // namespace

std::optional<PublishTarget> parsePublishUrl(const QString& url, QString* error)
{
    PublishTarget target;
    QString rest;
    if (url.startsWith(QLatin1String("mqtt://"))) {
        rest = url.mid(7);
    } else if (url.startsWith(QLatin1String("mqtts://"))) {
        rest = url.mid(8);
        target.tls = true;
        target.port = 8883;
    } else {
        return refuse(error, QStringLiteral("the address starts with mqtt:// or mqtts://"));
    }
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash < 0 || slash + 1 == rest.size()) {
        return refuse(error, QStringLiteral("the address ends with /TOPIC"));
    }
    target.topic = rest.mid(slash + 1);
    // Readings go to TOPIC/<model>: a wildcard or an empty level cannot be
    // published to.
    if (target.topic.contains(QLatin1Char('+')) || target.topic.contains(QLatin1Char('#')) ||
        target.topic.endsWith(QLatin1Char('/'))) {
        return refuse(
            error,
            QStringLiteral("the topic '%1' holds a wildcard or ends with /").arg(target.topic));
    }
    QString authority = rest.left(slash);
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        target.user = authority.left(at);
        authority = authority.mid(at + 1);
        if (target.user.contains(QLatin1Char(':'))) {
            return refuse(error, QStringLiteral("no password in the address: use "
                                                "LUMODM_MQTT_PASSWORD or "
                                                "--publish-password-file"));
        }
        if (target.user.isEmpty()) {
            return refuse(error, QStringLiteral("the user name before @ is empty"));
        }
    }
    // [::1]:1883 for an IPv6 address.
    QString portText;
    bool hasPort = false;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0) {
            return refuse(error, QStringLiteral("the host '%1' lacks its ]").arg(authority));
        }
        target.host = authority.mid(1, close - 1);
        const QString after = authority.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':'))) {
            return refuse(error, QStringLiteral("unexpected '%1' after the host").arg(after));
        }
        hasPort = !after.isEmpty();
        portText = after.mid(1);
    } else {
        const qsizetype colon = authority.indexOf(QLatin1Char(':'));
        target.host = colon < 0 ? authority : authority.left(colon);
        hasPort = colon >= 0;
        portText = authority.mid(colon + 1);
    }
    if (target.host.isEmpty()) {
        return refuse(error, QStringLiteral("the address names no host"));
    }
    if (hasPort) {
        bool ok = false;
        const int port = portText.toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            return refuse(error,
                          QStringLiteral("the port takes 1 to 65535, not '%1'").arg(portText));
        }
        target.port = port;
    }
    return target;
}

} // namespace lumodm
