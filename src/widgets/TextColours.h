#pragma once

#include "store/TaskRow.h"

#include <QColor>
#include <QString>

class QPalette;

// The 19 text colours a task can be shown in (the grid and the task editor's
// colour list). Entry 18 is the palette's text colour, so dark themes work.

// An index outside 0-18 gives entry 18.
QColor textColour(int index);
// A task's textColor cell; anything that is not a number 0-18 gives entry 18.
QColor textColourFor(const QString &textColorCell);

// A dark palette: its window colour is darker than its window text colour.
bool isDarkPalette(const QPalette &palette);
// How far apart two colours stand for the eye (relative luminance), 1 to 21.
double contrastRatio(const QColor &a, const QColor &b);
// What ordinary text needs against its background (WCAG AA).
constexpr double ReadableContrast = 4.5;
// A colour drawn on `background` under `palette`. Under a light palette it is the
// colour itself; under a dark one its lightness is changed, keeping its hue, until
// it stands at least 4.5:1 against the background (raised, or lowered where only
// that gets there).
QColor readableOn(const QColor &colour, const QColor &background, const QPalette &palette);
