#pragma once

#include "i18n/LanguageTables.h"

#include <QString>
#include <vector>

class QWidget;

// The caption tables of every window, applied by objectName. "English" and
// "Portuguese" set their texts; any other name sets none, and each routine's
// fixed tail still runs.
void ApplyLanguageMain(QWidget *mainWindow, const QString &language);
void ApplyLanguageEditor(QWidget *editor, const QString &language);
void ApplyLanguagePreferences(QWidget *preferences, const QString &language);
void ApplyLanguageArchive(QWidget *archiveViewer, const QString &language);
void ApplyLanguageArchivePreferences(QWidget *archivePreferences, const QString &language);
void ApplyLanguageInput(QWidget *inputDialog, const QString &language);
void ApplyLanguageSync(QWidget *syncDialog, const QString &language);

// The names a window's wordless controls have for assistive technology, in
// English, as the window is built (before any language is applied).
void nameControls(QWidget *window, const std::vector<LanguageEntry> &table);
