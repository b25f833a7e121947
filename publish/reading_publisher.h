#pragma once

#include "meter/reading.h"
#include "publish/publish_target.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>

struct mosquitto;

namespace lumodm {

struct MosquittoApi;

// The meter the readings come from, as the messages name it.
struct PublishedMeter
{
    QString model;
    int address = 0; // the primary address; 0 when not known
    // One of several meters published at once: its topics name its
    // address too (TOPIC/<model>-<address>), so no two meters share one.
    bool namedByAddress = false;
};

// Publishes every reading as JSON to TOPIC/<model> at QoS 1, and a retained
// TOPIC/<model>/status: "online" while linked, "offline" after a clean end
// or, through the broker's last will, a lost link. The reading thread only
// queues a copy; a thread of this class connects (retrying with back-off)
// and hands the queue over in order to libmosquitto's own network thread.
// While the broker is away the readings wait; beyond the queue's limit the
// oldest go, and that is told once.
class ReadingPublisher : public ReadingObserver
{
  public:
    static constexpr std::size_t kQueueLimit = 10000;
    // How a problem reaches the user; called on any thread, at most once
    // for the link, once for a loss and once, in finish(), for readings the
    // broker did not confirm.
    using Tell = std::function<void(const QString&)>;

    ReadingPublisher(PublishOptions options, QString password, Tell tell);
    ~ReadingPublisher() override; // finish() with a short flush
    ReadingPublisher(const ReadingPublisher&) = delete;
    ReadingPublisher& operator=(const ReadingPublisher&) = delete;

    // Starts the link for this meter (the topics name its model).
    void start(const PublishedMeter& meter);
    // For a program that learns the meter only when it is found: the first
    // reading starts the link with what `meter` says then.
    void startOnFirstReading(std::function<PublishedMeter()> meter)
    {
        meterOnFirst_ = std::move(meter);
    }

    void readingTaken(const Reading& reading) override;

    // Sends what it can within `flushFor`, says "offline" and closes; tells
    // how many readings the broker did not confirm. True when it confirmed
    // every one.
    bool finish(std::chrono::milliseconds flushFor);

    bool reached() const;
    long long dropped() const;
    std::size_t waiting() const; // readings not yet handed to the library

  private:
    struct Queued
    {
        long long seq;
        Reading reading;
    };

    void run();
    bool connect(std::unique_lock<std::mutex>& lock);
    void feed(std::unique_lock<std::mutex>& lock);
    // A reading, or else the retained status.
    bool publish(std::unique_lock<std::mutex>& lock, const QByteArray& topic,
                 const QByteArray& payload, bool isReading);
    void acknowledged(bool isReading);
    void tellOnce(std::atomic<bool>& told, const QString& text);
    QString brokerName() const;

    static void onConnect(mosquitto* client, void* self, int code);
    static void onDisconnect(mosquitto* client, void* self, int code);
    static void onPublish(mosquitto* client, void* self, int mid);

    const PublishOptions options_;
    const QString password_;
    const Tell tell_;
    std::function<PublishedMeter()> meterOnFirst_;
    std::atomic<bool> started_{false};
    std::atomic<bool> toldLink_{false};
    std::atomic<bool> toldLoss_{false};

    // Set by start() before the thread begins, then only read.
    PublishedMeter meter_;
    QByteArray readingTopic_;
    QByteArray statusTopic_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Queued> queue_;
    long long seq_ = 0;
    long long dropped_ = 0;
    // Handed to the library and not yet acknowledged by the broker. The
    // library keeps a QoS 1 message across a lost link and sends it again
    // when the link is back, so these stay counted until acknowledged.
    int inflight_ = 0;
    long long confirmed_ = 0; // readings the broker acknowledged
    // Message ids in flight, each with whether it is a reading; and the
    // acknowledgements that came before their mosquitto_publish returned.
    std::unordered_map<int, bool> unacked_;
    std::unordered_set<int> ackedEarly_;
    bool connected_ = false;
    bool reached_ = false;
    bool stopping_ = false;
    bool finished_ = false;
    const MosquittoApi* api_ = nullptr; // set with client_
    mosquitto* client_ = nullptr;
    bool loopRunning_ = false;
    std::thread worker_;
};

// The publisher the options ask for, not started; the password from
// --publish-password-file, else from LUMODM_MQTT_PASSWORD.
std::unique_ptr<ReadingPublisher> makeReadingPublisher(const PublishOptions& options,
                                                       ReadingPublisher::Tell tell);

} // namespace lumodm
