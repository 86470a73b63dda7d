// The settings-file parser: parse, look values up, edit, and write back.
#include "store/ProfileData.h"

#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
// Section and key names worth asking for: the input's own, and a few the
// program always reads.
void namesIn(const QByteArray &bytes, QStringList &sections, QStringList &keys)
{
    sections << QStringLiteral("Options") << QStringLiteral("Records") << QString();
    keys << QStringLiteral("Cats") << QStringLiteral("Quantity");
    const QList<QByteArray> lines = bytes.split('\n');
    for (const QByteArray &raw : lines) {
        if (sections.size() + keys.size() > 40)
            break;
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')))
            sections << line.mid(1, line.size() - 2);
        else if (const int eq = line.indexOf(QLatin1Char('=')); eq > 0)
            keys << line.left(eq);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ProfileData profile = ProfileData::parse(bytes);

    QStringList sections, keys;
    namesIn(bytes, sections, keys);
    for (const QString &s : sections) {
        (void)profile.hasSection(s);
        for (const QString &k : keys)
            (void)profile.value(s, k);
    }

    // Written once, the text is in the program's own form: reading and writing
    // it again must give the same bytes and the same values.
    const QByteArray written = profile.serialize();
    const ProfileData reread = ProfileData::parse(written);
    if (reread.serialize() != written)
        abort();
    for (const QString &s : sections)
        for (const QString &k : keys)
            if (profile.value(s, k) != reread.value(s, k))
                abort();

    if (!sections.isEmpty() && !keys.isEmpty()) {
        profile.setValue(sections.last(), keys.last(), QStringLiteral("v"));
        if (profile.value(sections.last(), keys.last()) != QStringLiteral("v"))
            abort();
        profile.removeKey(sections.first(), keys.first());
        profile.removeSection(sections.last());
        (void)profile.serialize();
    }
    return 0;
}
