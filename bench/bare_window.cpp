// The yardstick for the panel's start-up: a bare Qt Widgets window of the
// panel's size with one label, ended as soon as it is shown, the way
// `lumodm --quit-when-up` ends once the panel is up.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMetaObject>
#include <QWidget>

namespace {

// The panel's window at 96 dpi, its menu bar included.
constexpr int kWidth = 226;
constexpr int kHeight = 196;

class BareWindow : public QWidget
{
  protected:
    bool event(QEvent* event) override
    {
        const bool handled = QWidget::event(event);
        if (event->type() == QEvent::Show) {
            // Out of the showing's own dispatch, as the panel's first
            // activation is.
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return handled;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    BareWindow window;
    window.setFixedSize(kWidth, kHeight);
    auto* label = new QLabel(QStringLiteral("1.4999"), &window);
    label->move(10, 10);
    window.show();
    return QApplication::exec();
}
