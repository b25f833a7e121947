#pragma once

#include "platform/platform_services.h"

#include <QMap>
#include <QString>
#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

namespace lumodm::testing {

// Thrown where the program would end at once.
struct ProgramEnded : std::runtime_error
{
    explicit ProgramEnded(int status) : std::runtime_error("program ended"), exitStatus(status) {}
    int exitStatus;
};

struct ShownMessage
{
    QString text;
    QString title;
    MessageButtons buttons;
    MessageIcon icon;
};

// A deterministic platform for tests: message boxes answered from a queue
// and recorded, a simulated clock that only the test and the waits move,
// scripted window events, settings in memory, and the end of the program
// as an exception.
class ScriptedPlatform : public PlatformServices
{
public:
    // Message boxes --------------------------------------------------------
    // Answers are taken in order; with none queued a box is answered with
    // its first button (OK or Yes).
    void queueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
    // Runs when a box is shown (before it is answered), e.g. to check state.
    std::function<void(const ShownMessage&)> onMessage;
    const std::vector<ShownMessage>& messages() const { return messages_; }
    void clearMessages() { messages_.clear(); }

    // Clock and events -----------------------------------------------------
    double now() override { return now_; }
    void advance(double seconds) { now_ += seconds; }
    // An event (a user's click) that becomes pending at clock time `at`,
    // or at once.
    void postEventAt(double at, std::function<void()> event);
    void postEvent(std::function<void()> event) { postEventAt(now_, std::move(event)); }
    // After this many event passes without the test's say-so, the test is
    // stuck in a loop: fail instead of hanging.
    long maxEventPasses = 10'000'000;
    long eventPasses() const { return eventPasses_; }
    void processEvents(double deadline) override;

    // Settings -------------------------------------------------------------
    QString readSetting(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue) override;
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) override;
    QMap<QString, QString> settings; // "application/section/key" -> value
    std::vector<QString> settingWrites; // keys in the order written

    // Message box and the end ---------------------------------------------
    MessageAnswer messageBox(const QString& text, const QString& title, MessageButtons buttons,
                             MessageIcon icon) override;
    [[noreturn]] void endProgram(int exitStatus) override;
    bool ended() const { return ended_; }

private:
    struct ScheduledEvent
    {
        double at;
        long sequence;
        std::function<void()> run;
    };

    std::deque<MessageAnswer> answers_;
    std::vector<ShownMessage> messages_;
    std::vector<ScheduledEvent> events_;
    long nextSequence_ = 0;
    long eventPasses_ = 0;
    double now_ = 1000.0;
    bool ended_ = false;
};

} // namespace lumodm::testing
