#include "qt/panel_style.h"

#include "qt/deferred_icon.h"

#include <QApplication>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOptionButton>

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

bool isDarkPalette(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() <
           palette.color(QPalette::WindowText).lightness();
}

void PanelStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const
{
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    const bool indicator = element == PE_IndicatorRadioButton || element == PE_IndicatorCheckBox;
    if (!indicator || button == nullptr || !isDarkPalette(button->palette) ||
        baseStyle()->name() != QLatin1String("fusion")) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Fusion darkens the window's colour for the ring (by about these
    // factors): handed a lighter window, the ring comes out in that tone.
    const int darkening = element == PE_IndicatorRadioButton ? 150 : 140;
    const QColor window = button->palette.color(QPalette::Window);
    const QColor text = button->palette.color(QPalette::WindowText);
    const auto toward = [](float from, float to) { return from + 0.4F * (to - from); };
    const QColor ring =
        QColor::fromRgbF(toward(window.redF(), text.redF()), toward(window.greenF(), text.greenF()),
                         toward(window.blueF(), text.blueF()));
    QStyleOptionButton lighter(*button);
    lighter.palette.setColor(QPalette::Window, ring.lighter(darkening));
    QProxyStyle::drawPrimitive(element, &lighter, painter, widget);
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
