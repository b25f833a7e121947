#pragma once

#include "platform/platform_services.h"

#include <QMessageBox>

namespace lumodm {

// Fills a Qt message box for a platform message box: the text as plain
// text (a "!" or "?" kept on its word's line), the title, the buttons (the
// first one the default, Cancel or No what Escape and the close control
// give) and the icon.
void setUpMessageBox(QMessageBox& box, const QString& text, const QString& title,
                     MessageButtons buttons, MessageIcon icon);

// The platform's answer for the Qt button the user chose. A box closed
// without a choice gives its escape answer.
MessageAnswer answerOf(QMessageBox::StandardButton button, MessageButtons buttons);

} // namespace lumodm
