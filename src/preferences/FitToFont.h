#pragma once

#include <QSize>

class QWidget;

// A dialog placed control by control at fixed design coordinates was drawn for a
// small 8-point font. With the desktop's font its texts may need more room: this
// scales the whole arrangement, across and down separately, by the least factor
// (never below 1) at which every caption fits beside its right-hand neighbour,
// then fixes the window's client size to the scaled design size.
//
// Check boxes are widened up to their right-hand neighbour (or the window's edge),
// so a click anywhere on their row toggles them; labels take their text's width,
// so the rule behind a group caption shows on its right.
void fitDesignToFont(QWidget *window, const QSize &designClientSize);
