#pragma once

#include "platform/forwarding_platform.h"
#include "session/session_thread.h"

#include <functional>

namespace lumodm {

// The platform a session sees on its own thread. Its waits serve the jobs
// posted to the session (the user's input to that meter's panel) instead
// of the window's events; a message box is asked wherever `ask` shows it
// (the window's thread) while this session alone waits for the answer;
// settings go to the program's store; and the end of the program ends
// this session, unwinding it.
class SessionPlatform : public ForwardingPlatform
{
  public:
    using Ask = std::function<MessageAnswer(const QString& text, const QString& title,
                                            MessageButtons buttons, MessageIcon icon)>;

    SessionPlatform(SessionThread& thread, PlatformServices& store, Ask ask);

    // Runs before every wait and every message box: the window's copy of
    // the model is taken here.
    void setBeforeEvents(std::function<void()> hook) { beforeEvents_ = std::move(hook); }

    MessageAnswer messageBox(const QString& text, const QString& title, MessageButtons buttons,
                             MessageIcon icon) override;
    void processEvents(double deadline) override;
    double now() override { return SessionThread::now(); }
    [[noreturn]] void endProgram(int exitStatus) override;

  private:
    void beforeEvents();

    SessionThread& thread_;
    Ask ask_;
    std::function<void()> beforeEvents_;
};

} // namespace lumodm
