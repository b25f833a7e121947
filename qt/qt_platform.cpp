#include "qt/qt_platform.h"

#include "qt/message_box.h"

#include <QMessageBox>
#include <QWidget>

namespace lumodm {

void QtPlatform::beforeEvents()
{
    if (beforeEvents_) {
        beforeEvents_();
    }
}

MessageAnswer QtPlatform::messageBox(const QString& text, const QString& title,
                                     MessageButtons buttons, MessageIcon icon)
{
    // The box runs its own event loop: the window must be up to date first.
    beforeEvents();
    QMessageBox box(dialogParent_.data());
    setUpMessageBox(box, text, title, buttons, icon);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return answerOf(box.standardButton(box.clickedButton()), buttons);
}

void QtPlatform::processEvents(double deadline)
{
    beforeEvents();
    QtCorePlatform::processEvents(deadline);
}

} // namespace lumodm
