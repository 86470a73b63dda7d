#include "TextColours.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

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
