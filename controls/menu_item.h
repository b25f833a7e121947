#pragma once

#include <QString>

namespace lumodm {

// A menu item; a caption of "-" is a separator line.
struct MenuItem
{
    QString caption;
    bool enabled = true;
    bool checked = false;
    bool visible = true;

    bool isSeparator() const { return caption == QStringLiteral("-"); }
};

} // namespace lumodm
