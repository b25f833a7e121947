#pragma once

#include <QString>

namespace lumodm {

// What a save dialog's answer asks for: the file and the format to write.
struct SaveFileChoice
{
    QString path;
    QString format; // the extension that names it, lower case: "png", "svg", "csv"
};

// `typed` as a save dialog returned it, with `filters` as given to the
// dialog ("PNG image (*.png);;SVG image (*.svg)") and the one the user
// chose. A name without an extension gets the chosen filter's. The format
// is the one the name's extension names when it is one of the filters',
// else the chosen filter's.
SaveFileChoice saveFileChoice(const QString& typed, const QString& filters,
                              const QString& chosenFilter);

// The first extension a filter names ("svg" for "SVG image (*.svg)");
// empty for none.
QString filterExtension(const QString& filter);

} // namespace lumodm
