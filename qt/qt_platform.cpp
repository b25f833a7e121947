#include "qt/qt_platform.h"

#include "qt/message_box.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>
#include <QWidget>
#include <future>
#include <memory>

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
    // Told from a panel's thread (a log that failed there): asked on the
    // window's thread, over the window, while only that thread waits.
    return ask([this] { return dialogParent_.data(); }, false, text, title, buttons, icon);
}

MessageAnswer QtPlatform::ask(const std::function<QWidget*()>& parent, bool windowModal,
                              const QString& text, const QString& title, MessageButtons buttons,
                              MessageIcon icon)
{
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
        beforeEvents();
        QMessageBox box(parent ? parent() : nullptr);
        setUpMessageBox(box, text, title, buttons, icon);
        box.setWindowModality(windowModal ? Qt::WindowModal : Qt::ApplicationModal);
        box.exec();
        return answerOf(box.standardButton(box.clickedButton()), buttons);
    }
    auto answer = std::make_shared<std::promise<MessageAnswer>>();
    std::future<MessageAnswer> answered = answer->get_future();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [answer, parent, windowModal, text, title, buttons, icon] {
            QWidget* owner = parent ? parent() : nullptr;
            auto* box = new QMessageBox(owner);
            setUpMessageBox(*box, text, title, buttons, icon);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setWindowModality(windowModal && owner ? Qt::WindowModal : Qt::ApplicationModal);
            QObject::connect(box, &QDialog::finished, box, [answer, box, buttons] {
                answer->set_value(answerOf(box->standardButton(box->clickedButton()), buttons));
            });
            box->show();
        },
        Qt::QueuedConnection);
    return answered.get();
}

void QtPlatform::processEvents(double deadline)
{
    beforeEvents();
    QtCorePlatform::processEvents(deadline);
}

} // namespace lumodm
