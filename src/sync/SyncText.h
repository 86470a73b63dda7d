#pragma once

#include "i18n/LanguageTables.h"

#include <QString>

// A text of the sync (what it tells the user) by its key, in language.
inline QString syncText(const char *key, Language language)
{
    return LanguageTables::text(LanguageTables::syncTexts(), key, language);
}
