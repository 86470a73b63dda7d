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
    if (!isDarkPalette(palette) || contrastRatio(colour, background) >= ReadableContrast)
        return colour;
    // Lighter first, keeping the hue: on the dark backgrounds of a dark palette that
    // always gets there. On a mid-tone one (a bright selection) only darker may.
    const auto shifted = [&](int step) {
        QColor c = colour.toHsl();
        while (contrastRatio(c, background) < ReadableContrast && c.lightness() + step >= 0 &&
               c.lightness() + step <= 255)
            c.setHsl(c.hslHue(), c.hslSaturation(), c.lightness() + step);
        if (contrastRatio(c, background) < ReadableContrast)
            c.setHsl(c.hslHue(), c.hslSaturation(), step > 0 ? 255 : 0);
        return c.toRgb();
    };
    const QColor lighter = shifted(4);
    if (contrastRatio(lighter, background) >= ReadableContrast)
        return lighter;
    const QColor darker = shifted(-4);
    return contrastRatio(darker, background) > contrastRatio(lighter, background) ? darker
                                                                                  : lighter;
}
