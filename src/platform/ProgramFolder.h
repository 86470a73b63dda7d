#pragma once

#include <QString>
#include <QStringList>

// The folder that holds every file of the program, with its trailing '/':
// $NUDGERY_HOME when set (created if missing); else the executable's folder when
// it is not a system folder and can be written to (a portable copy, the build
// folder); else the user's data folder (an installed copy).
QString programFolder(const QString &executableFolder);

// Whether an executable in this folder is an installed copy: the folder is the
// install prefix's bin folder, or lies in /usr, /bin or /sbin.
bool isSystemFolder(const QString &executableFolder);

// The automatic start at log-on passes "/ar": the first argument's first three
// characters, in any case.
bool autoRunSwitch(const QStringList &args);
