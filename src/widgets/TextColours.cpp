#include "TextColours.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr std::array<QRgb, DefaultTextColour> FixedColours = {
    0x000000, // black
    0x800000, // maroon
    0x008000, // green
    0x808000, // olive
    0x000080, // navy
    0x800080, // purple
    0x008080, // teal
    0x808080, // gray
    0xC0C0C0, // silver
    0xFF0000, // red
    0x00FF00, // lime
    0xFFFF00, // yellow
    0x0000FF, // blue
    0xFF00FF, // fuchsia
    0x00FFFF, // aqua
    0xC0C0C0, // silver again
    0x808080, // gray again
    0xFFFFFF, // white
};
} // namespace

QColor textColour(int index)
{
    if (index >= 0 && index < DefaultTextColour)
        return QColor::fromRgb(FixedColours[size_t(index)]);
    // Read at each call: the user may switch the colour scheme while running.
    return QGuiApplication::palette().color(QPalette::Text);
}

QColor textColourFor(const QString &textColorCell)
{
    bool ok = false;
    const int index = textColorCell.trimmed().toInt(&ok);
    return textColour(ok ? index : DefaultTextColour);
}

bool isDarkPalette(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() <
           palette.color(QPalette::WindowText).lightness();
}

namespace {
double relativeLuminance(const QColor &c)
{
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor &colour, const QColor &background, const QPalette &palette)
{
    constexpr double Readable = 3.0;
    if (!isDarkPalette(palette))
        return colour;
    QColor raised = colour.toHsl();
    while (contrastRatio(raised, background) < Readable && raised.lightness() < 255)
        raised.setHsl(raised.hslHue(), raised.hslSaturation(),
                      std::min(255, raised.lightness() + 4));
    return raised.toRgb();
}
