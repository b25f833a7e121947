#pragma once

#include <QStringView>

namespace lumodm {

// Whether a text begins with a number as ParseLeadingNumber reads one:
// after leading blanks (spaces, tabs), an optional sign and at least one digit (before or
// after a decimal point). Tells a genuine 0 from an answer that holds no
// number at all, which ParseLeadingNumber would also give as 0.
bool beginsWithNumber(QStringView text);

} // namespace lumodm
