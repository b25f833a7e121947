#include "qt/panel_fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace lumodm {

namespace {

const QString kSevenSegment = QStringLiteral("Segment7");
const QString kArial = QStringLiteral("Arial");
const QString kSevenSegmentResource = QStringLiteral(":/lumodm/fonts/DSEG7Classic-BoldItalic.ttf");

QString& bundledFamily()
{
    static QString family;
    return family;
}

bool installed(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// The family a request is drawn with: the family itself when installed,
// else the first of its stand-ins that is. Naming it in the font spares Qt
// a failed match, and the fontconfig search for fallbacks that comes with
// it, at every size of a missing family. Asked once a family: the fonts do
// not change after start-up.
QString drawnFamily(const QString& family)
{
    static QHash<QString, QString> known;
    const auto found = known.constFind(family);
    if (found != known.constEnd()) {
        return *found;
    }
    const QStringList families = QFontDatabase::families();
    QString drawn = family;
    for (const QString& candidate : QStringList{family} + QFont::substitutes(family)) {
        const auto match = std::find_if(families.begin(), families.end(), [&](const QString& f) {
            return f.compare(candidate, Qt::CaseInsensitive) == 0;
        });
        if (match != families.end()) {
            drawn = *match;
            break;
        }
    }
    known.insert(family, drawn);
    return drawn;
}

} // namespace

void installPanelFonts()
{
    static bool done = false;
    if (done) {
        return;
    }
    done = true;

    const int id = QFontDatabase::addApplicationFont(kSevenSegmentResource);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.isEmpty()) {
        bundledFamily() = families.first();
    }
    // A real Segment7 wins; otherwise the shipped face keeps the readout off
    // a plain fallback face.
    if (!installed(kSevenSegment) && !bundledFamily().isEmpty()) {
        QFont::insertSubstitution(kSevenSegment, bundledFamily());
    }
    if (!installed(kArial)) {
        QFont::insertSubstitutions(kArial,
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    }
}

QString bundledSevenSegmentFamily()
{
    return bundledFamily();
}

bool drawnWithBundledFace(const QFont& font)
{
    return !bundledFamily().isEmpty() && QFontInfo(font).family() == bundledFamily();
}

bool isSevenSegment(const FontSpec& spec)
{
    return spec.family.compare(kSevenSegment, Qt::CaseInsensitive) == 0;
}

QFont toQFont(const FontSpec& spec, const QFont& defaultFont)
{
    if (spec.isDefault()) {
        return defaultFont;
    }
    QFont font(drawnFamily(spec.family));
    if (spec.pointSize > 0.0F) {
        font.setPointSizeF(static_cast<double>(spec.pointSize));
    } else {
        font.setPointSizeF(defaultFont.pointSizeF());
    }
    font.setWeight(static_cast<QFont::Weight>(std::clamp(spec.weight, 1, 1000)));
    font.setItalic(spec.italic);
    if (!isSevenSegment(spec)) {
        font.setStyleHint(QFont::SansSerif);
    }
    return font;
}

QFont fitToBox(const QFont& font, const QSize& box, const QString& text, const QPaintDevice* device)
{
    QFont fitted = font;
    if (box.width() <= 0 || box.height() <= 0 || !(fitted.pointSizeF() > 0.0)) {
        return fitted;
    }
    auto scaleNeeded = [&](const QFont& candidate) {
        const QFontMetricsF metrics(candidate, device);
        const double width = metrics.horizontalAdvance(text);
        const double height = metrics.ascent() + metrics.descent();
        double scale = 1.0;
        if (width > box.width()) {
            scale = std::min(scale, box.width() / width);
        }
        if (height > box.height()) {
            scale = std::min(scale, box.height() / height);
        }
        return scale;
    };
    // Glyphs scale with the size, so one measurement nearly gives the
    // answer; hinting may want a quarter point or two more.
    constexpr double kStep = 0.25;
    constexpr double kFloor = 4.0;
    double scale = scaleNeeded(fitted);
    for (int step = 0; step < 16 && scale < 1.0; ++step) {
        const double wanted = std::floor(fitted.pointSizeF() * scale / kStep) * kStep;
        const double next = std::max(kFloor, std::min(wanted, fitted.pointSizeF() - kStep));
        if (next >= fitted.pointSizeF()) {
            break;
        }
        fitted.setPointSizeF(next);
        scale = scaleNeeded(fitted);
    }
    return fitted;
}

QFont fitWidestToBox(const QFont& font, const QSize& box, const QStringList& texts,
                     const QPaintDevice* device)
{
    const QFontMetricsF metrics(font, device);
    QString widest;
    for (const QString& text : texts) {
        if (metrics.horizontalAdvance(text) > metrics.horizontalAdvance(widest)) {
            widest = text;
        }
    }
    return fitToBox(font, box, widest, device);
}

} // namespace lumodm
