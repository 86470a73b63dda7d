// What an import did, in the chosen language.
#include "IcsImport.h"

#include <QLocale>

#include <algorithm>
#include <vector>

namespace {

// Tasks named under a reason; the rest are counted.
constexpr int NamesShown = 3;
constexpr int NameLength = 60;

struct Group
{
    const char *reason;
    int count = 0;
    QStringList names;
};

// Remarks by reason, in the order the reasons first came up: one line each, however
// many tasks share it.
std::vector<Group> grouped(const std::vector<IcsImport::Remark> &remarks)
{
    std::vector<Group> groups;
    for (const IcsImport::Remark &r : remarks) {
        auto g = std::find_if(groups.begin(), groups.end(),
                              [&](const Group &x) { return qstrcmp(x.reason, r.reason) == 0; });
        if (g == groups.end())
            g = groups.insert(groups.end(), Group{r.reason, 0, {}});
        if (++g->count > NamesShown)
            continue;
        QString name =
            r.task.size() > NameLength ? r.task.left(NameLength - 1) + QChar(0x2026) : r.task;
        name = QLatin1Char('"') + name + QLatin1Char('"');
        if (!r.detail.isEmpty())
            name += QStringLiteral(" (%1)").arg(r.detail);
        g->names << name;
    }
    return groups;
}

} // namespace

namespace IcsImport {

QString summary(const Parsed &result, Language language)
{
    const auto text = [language](const char *key) {
        return LanguageTables::text(LanguageTables::backupTexts(), key, language);
    };
    const QLocale locale = language == Language::Portuguese
                               ? QLocale(QLocale::Portuguese, QLocale::Portugal)
                               : QLocale(QLocale::English, QLocale::UnitedKingdom);
    const auto number = [&](qsizetype n) { return locale.toString(qlonglong(n)); };
    if (result.refused()) {
        const Remark &r = result.refusal;
        return text("ImportRefused")
            .arg(r.detail.isEmpty() ? text(r.reason) : text(r.reason).arg(r.detail));
    }
    const qsizetype imported = result.tasks.size();
    QString out = result.onlyEvents ? text("ImportOnlyEvents")
                  : imported == 1   ? text("ImportedOne")
                                    : text("Imported").arg(number(imported));
    if (result.updated > 0)
        out += QLatin1Char(' ') + (result.updated == 1
                                       ? text("ImportUpdatedOne")
                                       : text("ImportUpdated").arg(number(result.updated)));
    const auto list = [&](const char *heading, const std::vector<Remark> &remarks) {
        if (remarks.empty())
            return;
        out += QStringLiteral("\n\n") + text(heading);
        for (const Group &g : grouped(remarks)) {
            const QString count =
                g.count == 1 ? text("TaskCountOne") : text("TaskCount").arg(number(g.count));
            QString names = g.names.join(QStringLiteral(", "));
            if (g.count > NamesShown)
                names += QLatin1Char(' ') + text("AndMore").arg(number(g.count - NamesShown));
            out += QStringLiteral("\n  %1 (%2): %3").arg(text(g.reason), count, names);
        }
    };
    list("ImportChanged", result.changed);
    list("ImportSkipped", result.skipped);
    for (const QString &notice : result.notices)
        out += QStringLiteral("\n\n") + notice;
    return out;
}

} // namespace IcsImport
