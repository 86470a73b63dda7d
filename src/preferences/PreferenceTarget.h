#pragma once

#include <QString>

// What the preferences change in the running main window, at the step that
// stores each of them.
class PreferenceTarget
{
public:
    virtual ~PreferenceTarget() = default;
    virtual void setStayOnTop(bool on) = 0;
    virtual void setShowNoteHints(bool on) = 0;
    virtual void setMenuBarShown(bool shown) = 0;
    virtual void setToolbarShown(bool shown) = 0;
    // The grid menu's extra items follow the stored menu bar and toolbar switches.
    virtual void updateGridPopupExtras() = 0;
    virtual void setTransparent(bool on) = 0;
    virtual void setFlatButtons(bool flat) = 0;
    virtual void applyLanguage(const QString &language) = 0;
    // The default column widths, the task column taking what is left.
    virtual void resetColumnWidths() = 0;
};
