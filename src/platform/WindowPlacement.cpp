#include "WindowPlacement.h"

#include <QGuiApplication>

bool windowPositionsKnown()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
