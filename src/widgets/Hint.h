#pragma once

#include <QAbstractButton>
#include <QString>

// A control's hint. A button that shows no words (an icon, "...") is known by its
// hint to assistive technology too: its accessible name follows the hint.
inline void setHint(QWidget *control, const QString &hint)
{
    control->setToolTip(hint);
    auto *button = qobject_cast<QAbstractButton *>(control);
    bool wordless = button != nullptr;
    if (button)
        for (QChar c : button->text())
            wordless = wordless && !c.isLetterOrNumber();
    if (wordless)
        control->setAccessibleName(hint.trimmed());
}
