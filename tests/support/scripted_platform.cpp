#include "tests/support/scripted_platform.h"

#include <algorithm>

namespace lumodm::testing {

void ScriptedPlatform::postEventAt(double at, std::function<void()> event)
{
    events_.push_back(ScheduledEvent{at, nextSequence_++, std::move(event)});
}

void ScriptedPlatform::processEvents(double deadline)
{
    if (++eventPasses_ > maxEventPasses) {
        throw std::runtime_error("event loop ran away: too many event passes");
    }
    auto dueNow = [this](const ScheduledEvent& e) { return e.at <= now_; };
    if (std::none_of(events_.begin(), events_.end(), dueNow)) {
        // Nothing pending: "block" until the next event or the deadline.
        double wakeAt = deadline;
        for (const auto& e : events_) {
            wakeAt = std::min(wakeAt, e.at);
        }
        if (wakeAt > now_) {
            now_ = wakeAt;
        }
    }
    // Run what is due, oldest first; events posted by handlers wait for the
    // next pass.
    std::vector<ScheduledEvent> due;
    for (auto it = events_.begin(); it != events_.end();) {
        if (it->at <= now_) {
            due.push_back(std::move(*it));
            it = events_.erase(it);
        } else {
            ++it;
        }
    }
    std::sort(due.begin(), due.end(), [](const ScheduledEvent& a, const ScheduledEvent& b) {
        return a.at != b.at ? a.at < b.at : a.sequence < b.sequence;
    });
    for (auto& e : due) {
        e.run();
    }
}

static QString settingPath(const QString& application, const QString& section, const QString& key)
{
    return application + QLatin1Char('/') + section + QLatin1Char('/') + key;
}

QString ScriptedPlatform::readSetting(const QString& application, const QString& section,
                                      const QString& key, const QString& defaultValue)
{
    return settings.value(settingPath(application, section, key), defaultValue);
}

void ScriptedPlatform::writeSetting(const QString& application, const QString& section,
                                    const QString& key, const QString& value)
{
    settings.insert(settingPath(application, section, key), value);
    settingWrites.push_back(key);
}

MessageAnswer ScriptedPlatform::messageBox(const QString& text, const QString& title,
                                           MessageButtons buttons, MessageIcon icon)
{
    messages_.push_back(ShownMessage{text, title, buttons, icon});
    if (onMessage) {
        onMessage(messages_.back());
    }
    if (!answers_.empty()) {
        MessageAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

void ScriptedPlatform::endProgram(int exitStatus)
{
    ended_ = true;
    throw ProgramEnded(exitStatus);
}

} // namespace lumodm::testing
