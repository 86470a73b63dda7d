#pragma once

#include <QIcon>
#include <QString>

// Small pictures for the toolbar and the menus, drawn by the program so that they
// look the same on every desktop. Names: "minimize", "check", "add", "edit",
// "delete", "archive", "preferences", "about", "exit", "calendar", "menu".
QIcon glyph(const QString &name);
