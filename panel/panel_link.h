#pragma once

#include <functional>

namespace lumodm {

class Form1;
class FrontPanel;
class ReadingObserver;

// How a window reaches its panel: it mirrors a copy of the window model
// and hands the user's input to the panel's handlers. The panel runs on
// the window's own thread (the tests), or on a thread of its own so that
// the window never waits for the bus.
class PanelLink
{
  public:
    using Handler = std::function<void(FrontPanel&)>;

    virtual ~PanelLink() = default;

    // The model as the panel left it after its last handler or before its
    // last wait.
    virtual void copyModel(Form1& into) const = 0;
    // Runs `handler` on the panel, after what was handed over before it;
    // then `done`, if any, on the caller's thread.
    virtual void run(Handler handler, std::function<void()> done = {}) = 0;
    // Tells `observer`, on the caller's thread, of the readings the panel
    // shows and of its runs, until it is removed.
    virtual void addReadingObserver(ReadingObserver* observer) = 0;
    virtual void removeReadingObserver(ReadingObserver* observer) = 0;
};

// The panel on the caller's own thread: each handler runs at once.
class DirectPanelLink : public PanelLink
{
  public:
    explicit DirectPanelLink(FrontPanel& panel) : panel_(panel) {}

    void copyModel(Form1& into) const override;
    void run(Handler handler, std::function<void()> done = {}) override;
    void addReadingObserver(ReadingObserver* observer) override;
    void removeReadingObserver(ReadingObserver* observer) override;

  private:
    FrontPanel& panel_;
};

} // namespace lumodm
