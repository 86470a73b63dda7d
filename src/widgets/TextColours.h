#pragma once

#include <QColor>
#include <QString>

// The 19 text colours a task can be shown in (the grid and the task editor's
// colour list). Entry 18 is the palette's text colour, so dark themes work.
constexpr int TextColourCount = 19;
constexpr int DefaultTextColour = 18;

// An index outside 0-18 gives entry 18.
QColor textColour(int index);
// A task's textColor cell; anything that is not a number 0-18 gives entry 18.
QColor textColourFor(const QString &textColorCell);
