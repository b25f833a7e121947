#pragma once

#include "platform/qt_core_platform.h"

#include <QPointer>
#include <functional>

class QWidget;

namespace lumodm {

// The platform of the windowed program: QtCore's services plus modal
// message boxes. Before every event pass it makes (the waits inside
// handlers, and the loop of a message box) it runs the window's
// before-events hook, so the widgets show the model before the user can
// act on them.
class QtPlatform : public QtCorePlatform
{
  public:
    using QtCorePlatform::QtCorePlatform;

    void setBeforeEvents(std::function<void()> hook) { beforeEvents_ = std::move(hook); }
    // The window message boxes belong to (centred on it, modal to it).
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

    // From any thread; application modal, over the dialog parent.
    MessageAnswer messageBox(const QString& text, const QString& title, MessageButtons buttons,
                             MessageIcon icon) override;
    // The same box, asked from any thread, over the window `parent` names
    // on the window's thread (none: no owner). From another thread the box
    // opens on the window's thread without a loop of its own there, so the
    // boxes of several panels never wait for each other, and only the
    // asking thread waits for the answer. `windowModal`: only the owner is
    // blocked, not the other panels.
    MessageAnswer ask(const std::function<QWidget*()>& parent, bool windowModal,
                      const QString& text, const QString& title, MessageButtons buttons,
                      MessageIcon icon);
    void processEvents(double deadline) override;

  private:
    void beforeEvents();

    std::function<void()> beforeEvents_;
    QPointer<QWidget> dialogParent_;
};

} // namespace lumodm
