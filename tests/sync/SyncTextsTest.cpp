// The sync's texts reach a user in either language: each has its own Portuguese,
// with the same places for what is filled in.
#include "i18n/LanguageTables.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// "%1 %2", the places a text fills in, each once and in order.
std::string placesIn(const QString &text)
{
    static const QRegularExpression place(QStringLiteral("%[1-9]"));
    QStringList found;
    for (auto it = place.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    found.removeDuplicates();
    return found.join(QLatin1Char(' ')).toStdString();
}

TEST(SyncTexts, everyTextHasItsOwnPortugueseWithTheSamePlaces)
{
    QSet<QString> keys;
    for (const LanguageEntry &e : LanguageTables::syncTexts()) {
        const QString key = QString::fromLatin1(e.component);
        const QString english = e.text(Language::English);
        const QString portuguese = e.text(Language::Portuguese);
        EXPECT_FALSE(keys.contains(key)) << "twice: " << e.component;
        keys.insert(key);
        EXPECT_FALSE(english.trimmed().isEmpty()) << e.component;
        EXPECT_FALSE(portuguese.trimmed().isEmpty()) << e.component;
        EXPECT_NE(portuguese, english) << e.component;
        EXPECT_EQ(placesIn(portuguese), placesIn(english)) << e.component;
    }
}

} // namespace
