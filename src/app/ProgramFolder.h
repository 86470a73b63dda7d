#pragma once

#include <QString>
#include <QStringList>

// The folder that holds every file of the program, with its trailing '/':
// $NUDGERY_HOME when set (created if missing); else the executable's folder when
// it can be written to (a portable copy, the build folder); else the user's data
// folder (an installed copy).
QString programFolder(const QString &executableFolder);

// The automatic start at log-on passes "/ar": the first argument's first three
// characters, in any case.
bool autoRunSwitch(const QStringList &args);
