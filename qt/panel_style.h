#pragma once

#include <QProxyStyle>

namespace lumodm {

// Light text on a dark window: a dark desktop theme.
bool isDarkPalette(const QPalette& palette);

// The desktop's style, as it is, but for two things. A menu bar asks for its
// overflow button's icon as it is built, and Qt reads that icon's files by
// trying every image format plugin installed (SVG, JPEG, GIF ...), which
// loads them all and the libraries behind them. The panel's menus fit
// their bar, so the button stays hidden: its icon is read only if it is
// ever drawn. And Fusion rings radio buttons and check boxes in a shade
// darker than the window, which a dark palette all but hides: there the
// ring is drawn in a tone between the window and its text.
class PanelStyle : public QProxyStyle
{
  public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

// Puts the panel style over the style the application has now (the
// desktop's, or the one -style named). Before any window is built.
void installPanelStyle();

} // namespace lumodm
