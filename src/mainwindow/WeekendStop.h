#pragma once

#include <QDate>

class MessageService;
class Settings;

// Start-up ends with a notice when the program was started at log-on on a
// Saturday or Sunday and [Preferences] WeekendStop is on.
bool weekendStopApplies(const Settings &settings, bool autoRunStart, const QDate &today);

// The notice, closed by itself after closeAfterMs if the user does not.
void showWeekendBox(MessageService &messages, int closeAfterMs = 6000);

// Closes the box that is in front, as if OK had been pressed.
void WeekendBoxTimerProc();
