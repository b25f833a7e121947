#include "qt/panel_style.h"

#include "qt/deferred_icon.h"

#include <QApplication>
#include <QPointer>
#include <QStyleFactory>

namespace lumodm {

QIcon PanelStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                               const QWidget* widget) const
{
    if (icon != SP_ToolBarHorizontalExtensionButton) {
        return QProxyStyle::standardIcon(icon, option, widget);
    }
    // The option and widget may be gone when it is drawn; the direction
    // they would give is the application's.
    const QPointer<QStyle> base = baseStyle();
    return deferredIcon(
        [base, icon] { return base ? base->standardIcon(icon, nullptr, nullptr) : QIcon(); });
}

void installPanelStyle()
{
    // A style of its own underneath: the application deletes the one it
    // replaces.
    QStyle* base = QStyleFactory::create(QApplication::style()->name());
    if (base != nullptr) {
        QApplication::setStyle(new PanelStyle(base));
    }
}

} // namespace lumodm
