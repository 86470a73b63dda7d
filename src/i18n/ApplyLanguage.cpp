#include "ApplyLanguage.h"

// Filled in with the caption tables; until then no text changes.
void ApplyLanguageMain(QWidget *, const QString &) {}
void ApplyLanguageEditor(QWidget *, const QString &) {}
void ApplyLanguagePreferences(QWidget *, const QString &) {}
void ApplyLanguageArchive(QWidget *, const QString &) {}
void ApplyLanguageArchivePreferences(QWidget *, const QString &) {}
void ApplyLanguageInput(QWidget *, const QString &) {}
