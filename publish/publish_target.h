#pragma once

#include <QString>
#include <optional>

namespace lumodm {

// Where readings go: a broker and the topic under which they appear.
struct PublishTarget
{
    bool tls = false; // mqtts://
    QString user;     // empty: no user name and no password
    QString host;
    int port = 1883;
    QString topic; // readings go to TOPIC/<model>
};

// What the command line asks of publishing: the target, the password from
// a file (the environment's is read when the link starts) and the TLS
// authority file.
struct PublishOptions
{
    QString url; // empty: nothing is published
    PublishTarget target;
    QString password; // from --publish-password-file
    QString caFile;   // --publish-ca
};

// "mqtt://[USER@]HOST[:PORT]/TOPIC" or "mqtts://..." (port 8883); none, with
// `error` set, for anything else. A password in the address is refused: it
// would be seen in the process list.
std::optional<PublishTarget> parsePublishUrl(const QString& url, QString* error);

} // namespace lumodm
