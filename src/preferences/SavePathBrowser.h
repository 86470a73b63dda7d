#pragma once

#include <QString>

class QWidget;
struct AppContext;

// The save-path folder browser of the preferences dialog. Starts at the field's
// path made absolute against the program folder (which becomes the current
// directory). A path that no longer exists is reported, and the browser then
// opens one level up, or at the program folder when that is missing too.
// Returns the chosen folder, or the start path when the user cancels.
QString chooseSavePath(QWidget *owner, AppContext &ctx, const QString &fieldText);

inline const QString SavePathBrowserTitle = QStringLiteral("Choose a folder to download to ...");
inline const QString SavePathGoneMessage =
    QStringLiteral("Path to save to no longer exists.. Correcting !");
