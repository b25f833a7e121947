#pragma once

#include <QProxyStyle>

namespace lumodm {

// The desktop's style, as it is, but for one icon: a menu bar asks for its
// overflow button's icon as it is built, and Qt reads that icon's files by
// trying every image format plugin installed (SVG, JPEG, GIF ...), which
// loads them all and the libraries behind them. The panel's menus fit
// their bar, so the button stays hidden: its icon is read only if it is
// ever drawn.
class PanelStyle : public QProxyStyle
{
  public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

// Puts the panel style over the style the application has now (the
// desktop's, or the one -style named). Before any window is built.
void installPanelStyle();

} // namespace lumodm
