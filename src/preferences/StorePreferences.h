#pragma once

struct AppContext;
class AlarmTimer;
class PreferenceTarget;
class TFormOptions;

// The preferences command after Ok: stores every preference from the dialog's
// controls, key by key in a fixed order, and applies at once those that change
// the running main window. A failed write ends the sequence at that step; the
// steps before it stay done.
void storePreferences(const TFormOptions &dialog, PreferenceTarget &main, AlarmTimer &alarm,
                      AppContext &ctx);
