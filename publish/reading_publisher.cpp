#include "publish/reading_publisher.h"

#include "log/log_timestamp.h"
#include "publish/mosquitto_api.h"
#include "publish/reading_message.h"

#include <algorithm>

namespace lumodm {

namespace {

constexpr int kKeepAliveSeconds = 30;
// Messages handed to the library and not yet acknowledged: enough to keep
// the loopback busy, few enough that the bounded queue stays ours.
constexpr int kWindow = 100;
constexpr auto kFirstRetry = std::chrono::seconds(1);
constexpr auto kLongestRetry = std::chrono::seconds(30);
constexpr auto kOfflineWait = std::chrono::seconds(1);
constexpr std::chrono::milliseconds kFlushOnDestroy(1000);

QString libraryText(const MosquittoApi& api, int code)
{
    return QString::fromLocal8Bit(api.strerror(code));
}

} // namespace

ReadingPublisher::ReadingPublisher(PublishOptions options, QString password, Tell tell)
    : options_(std::move(options)), password_(std::move(password)), tell_(std::move(tell))
{
}

ReadingPublisher::~ReadingPublisher()
{
    finish(kFlushOnDestroy);
}

void ReadingPublisher::start(const PublishedMeter& meter)
{
    if (started_.exchange(true)) {
        return;
    }
    meter_ = meter;
    readingTopic_ = options_.target.topic.toUtf8() + '/' + meter.model.toUtf8();
    if (meter.namedByAddress) {
        readingTopic_ += '-' + QByteArray::number(meter.address);
    }
    statusTopic_ = readingTopic_ + "/status";
    worker_ = std::thread([this] { run(); });
}

void ReadingPublisher::readingTaken(const Reading& reading)
{
    if (!started_ && meterOnFirst_) {
        start(meterOnFirst_());
    }
    bool firstLoss = false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (finished_) {
            return;
        }
        if (queue_.size() >= kQueueLimit) {
            queue_.pop_front();
            firstLoss = ++dropped_ == 1;
        }
        queue_.push_back({++seq_, reading});
    }
    changed_.notify_all();
    if (firstLoss) {
        tellOnce(toldLoss_,
                 QStringLiteral("The broker %1 is behind by %2 readings: the oldest are dropped "
                                "from here on.")
                     .arg(brokerName())
                     .arg(kQueueLimit));
    }
}

bool ReadingPublisher::finish(std::chrono::milliseconds flushFor)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (finished_) {
        return reached_ && confirmed_ == seq_;
    }
    finished_ = true;
    if (!started_) {
        return false;
    }
    changed_.wait_for(lock, flushFor, [this] { return queue_.empty() && inflight_ == 0; });
    if (connected_ && publish(lock, statusTopic_, QByteArrayLiteral("offline"), false)) {
        changed_.wait_for(lock, kOfflineWait, [this] { return inflight_ == 0 || !connected_; });
    }
    stopping_ = true;
    const bool wasConnected = connected_;
    lock.unlock();
    changed_.notify_all();
    worker_.join();
    if (client_ != nullptr) {
        if (wasConnected) {
            api_->disconnect(client_); // no last will after a clean end
        }
        if (loopRunning_) {
            api_->loop_stop(client_, !wasConnected);
        }
        api_->destroy(client_);
        client_ = nullptr;
    }
    if (!reached_) {
        tellOnce(toldLink_, QStringLiteral("The broker %1 was never reached: no reading was "
                                           "published.")
                                .arg(brokerName()));
        return false;
    }
    // A reading handed over but never acknowledged may still have arrived;
    // the broker did not say so, and a stalled broker loses them silently.
    const long long unconfirmed = seq_ - confirmed_;
    if (unconfirmed > 0 && tell_) {
        tell_(QStringLiteral("The broker %1 did not confirm %2 of %3 readings: they may be lost.")
                  .arg(brokerName())
                  .arg(unconfirmed)
                  .arg(seq_));
    }
    return unconfirmed == 0;
}

bool ReadingPublisher::reached() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return reached_;
}

long long ReadingPublisher::dropped() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}

std::size_t ReadingPublisher::waiting() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
}

QString ReadingPublisher::brokerName() const
{
    const PublishTarget& t = options_.target;
    // An IPv6 address in brackets, as it is written in the address.
    const QString host =
        t.host.contains(QLatin1Char(':')) ? QLatin1Char('[') + t.host + QLatin1Char(']') : t.host;
    return QStringLiteral("%1://%2:%3")
        .arg(t.tls ? QLatin1String("mqtts") : QLatin1String("mqtt"), host)
        .arg(t.port);
}

void ReadingPublisher::tellOnce(std::atomic<bool>& told, const QString& text)
{
    if (!told.exchange(true) && tell_) {
        tell_(text);
    }
}

void ReadingPublisher::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (connect(lock)) {
        feed(lock);
    }
}

// Sets the client up and starts its first connection; retries with
// back-off until the library has a connection under way, from when on its
// network thread reconnects by itself.
bool ReadingPublisher::connect(std::unique_lock<std::mutex>& lock)
{
    QString reason;
    const MosquittoApi* api = mosquittoApi(&reason);
    if (api == nullptr) {
        tellOnce(toldLink_, QStringLiteral("Cannot load the MQTT library: %1\nReadings are not "
                                           "published.")
                                .arg(reason));
        return false;
    }
    mosquitto* client = api->create(nullptr, true, this);
    if (client == nullptr) {
        tellOnce(toldLink_, QStringLiteral("Cannot start the MQTT client: readings are not "
                                           "published."));
        return false;
    }
    api_ = api;
    client_ = client;
    lock.unlock();
    api->connect_callback_set(client, &ReadingPublisher::onConnect);
    api->disconnect_callback_set(client, &ReadingPublisher::onDisconnect);
    api->publish_callback_set(client, &ReadingPublisher::onPublish);
    api->reconnect_delay_set(client, 1, 30, true);
    api->max_inflight_messages_set(client, kWindow);
    api->will_set(client, statusTopic_.constData(), 7, "offline", 1, true);
    const PublishTarget& target = options_.target;
    if (!target.user.isEmpty()) {
        const QByteArray user = target.user.toUtf8();
        const QByteArray password = password_.toUtf8();
        api->username_pw_set(client, user.constData(),
                             password_.isEmpty() ? nullptr : password.constData());
    }
    int code = MOSQ_ERR_SUCCESS;
    if (target.tls && !options_.caFile.isEmpty()) {
        code = api->tls_set(client, options_.caFile.toLocal8Bit().constData(), nullptr, nullptr,
                            nullptr, nullptr);
    } else if (target.tls) {
        code = api->int_option(client, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
    }
    lock.lock();
    if (code != MOSQ_ERR_SUCCESS) {
        tellOnce(toldLink_, QStringLiteral("Cannot use TLS for the broker %1: %2")
                                .arg(brokerName(), libraryText(*api, code)));
        return false;
    }

    const QByteArray host = target.host.toUtf8();
    auto retry = std::chrono::duration_cast<std::chrono::milliseconds>(kFirstRetry);
    while (!stopping_) {
        lock.unlock();
        code = api->connect_async(client, host.constData(), target.port, kKeepAliveSeconds);
        lock.lock();
        if (code == MOSQ_ERR_SUCCESS) {
            break;
        }
        tellOnce(toldLink_, QStringLiteral("Cannot reach the broker %1: %2\nReadings are kept "
                                           "(up to %3) and sent when it answers.")
                                .arg(brokerName(), libraryText(*api, code))
                                .arg(kQueueLimit));
        changed_.wait_for(lock, retry, [this] { return stopping_; });
        retry = std::min(retry * 2,
                         std::chrono::duration_cast<std::chrono::milliseconds>(kLongestRetry));
    }
    if (stopping_) {
        return false;
    }
    lock.unlock();
    code = api->loop_start(client);
    lock.lock();
    loopRunning_ = code == MOSQ_ERR_SUCCESS;
    if (!loopRunning_) {
        tellOnce(toldLink_,
                 QStringLiteral("Cannot start the MQTT client: %1").arg(libraryText(*api, code)));
    }
    return loopRunning_;
}

// Hands the queue over in order while linked, a window at a time.
void ReadingPublisher::feed(std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        changed_.wait(lock, [this] {
            return stopping_ || (connected_ && !queue_.empty() && inflight_ < kWindow);
        });
        if (stopping_) {
            return;
        }
        const Queued next = queue_.front();
        lock.unlock();
        const QByteArray payload = readingMessage(isoTimestamp(next.reading.time), next.seq,
                                                  meter_.model, meter_.address, next.reading);
        lock.lock();
        // A full queue may have dropped it meanwhile; then it is not sent.
        if (queue_.empty() || queue_.front().seq != next.seq) {
            continue;
        }
        queue_.pop_front();
        if (!publish(lock, readingTopic_, payload, true)) {
            ++dropped_; // the library refused the message itself: it cannot be sent
        }
        changed_.notify_all();
    }
}

// Counts the message in flight before the library can acknowledge it.
// The library keeps a QoS 1 message it could not send yet (the link is
// down) and sends it on reconnection; only a refusal of the message itself
// loses it.
bool ReadingPublisher::publish(std::unique_lock<std::mutex>& lock, const QByteArray& topic,
                               const QByteArray& payload, bool isReading)
{
    ++inflight_;
    lock.unlock();
    int mid = 0;
    const int code =
        api_->publish(client_, &mid, topic.constData(), static_cast<int>(payload.size()),
                      payload.constData(), 1, !isReading);
    lock.lock();
    switch (code) {
    case MOSQ_ERR_NO_CONN:
    case MOSQ_ERR_CONN_LOST:
    case MOSQ_ERR_ERRNO:
        connected_ = false; // held by the library; feed again after reconnection
        [[fallthrough]];
    case MOSQ_ERR_SUCCESS:
        // The acknowledgement may have come while the lock was free.
        if (ackedEarly_.erase(mid) > 0) {
            acknowledged(isReading);
        } else {
            unacked_[mid] = isReading;
        }
        return true;
    default:
        --inflight_;
        return false;
    }
}

void ReadingPublisher::acknowledged(bool isReading)
{
    inflight_ = std::max(inflight_ - 1, 0);
    if (isReading) {
        ++confirmed_;
    }
}

void ReadingPublisher::onConnect(mosquitto*, void* self, int code)
{
    auto* p = static_cast<ReadingPublisher*>(self);
    if (code != 0) {
        p->tellOnce(p->toldLink_, QStringLiteral("The broker %1 refused the connection: %2")
                                      .arg(p->brokerName(),
                                           QString::fromLocal8Bit(p->api_->connack_string(code))));
        return;
    }
    std::unique_lock<std::mutex> lock(p->mutex_);
    p->connected_ = true;
    p->reached_ = true;
    p->publish(lock, p->statusTopic_, QByteArrayLiteral("online"), false);
    lock.unlock();
    p->changed_.notify_all();
}

void ReadingPublisher::onDisconnect(mosquitto*, void* self, int code)
{
    auto* p = static_cast<ReadingPublisher*>(self);
    std::unique_lock<std::mutex> lock(p->mutex_);
    p->connected_ = false;
    const bool never = !p->reached_ && !p->stopping_ && code != 0;
    lock.unlock();
    p->changed_.notify_all();
    if (never) {
        p->tellOnce(p->toldLink_, QStringLiteral("Cannot reach the broker %1: %2\nReadings are "
                                                 "kept (up to %3) and sent when it answers.")
                                      .arg(p->brokerName(), libraryText(*p->api_, code))
                                      .arg(kQueueLimit));
    }
}

std::unique_ptr<ReadingPublisher> makeReadingPublisher(const PublishOptions& options,
                                                       ReadingPublisher::Tell tell)
{
    const QString password = options.password.isEmpty()
                                 ? qEnvironmentVariable("LUMODM_MQTT_PASSWORD")
                                 : options.password;
    return std::make_unique<ReadingPublisher>(options, password, std::move(tell));
}

void ReadingPublisher::onPublish(mosquitto*, void* self, int mid)
{
    auto* p = static_cast<ReadingPublisher*>(self);
    {
        const std::lock_guard<std::mutex> lock(p->mutex_);
        const auto sent = p->unacked_.find(mid);
        if (sent == p->unacked_.end()) {
            p->ackedEarly_.insert(mid); // before mosquitto_publish told us its id
        } else {
            p->acknowledged(sent->second);
            p->unacked_.erase(sent);
        }
    }
    p->changed_.notify_all();
}

} // namespace lumodm
