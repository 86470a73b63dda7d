#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

// A parsed profile (INI) file: sections in brackets, "key=value" lines.
// Section and key names match without regard to case; values are trimmed, and
// one pair of enclosing quotes is dropped, as the Windows profile reader does.
// Lines it does not understand (comments, junk) are kept for rewriting.
class ProfileData
{
public:
    ProfileData() = default;
    // A missing or unreadable file reads as empty.
    static ProfileData load(const QString &path);
    static ProfileData parse(const QByteArray &bytes);

    std::optional<QString> value(const QString &section, const QString &key) const;
    bool hasSection(const QString &section) const;
    // The keys and values of a section as value() finds them, in file order.
    QList<std::pair<QString, QString>> entries(const QString &section) const;
    // The names of every section, in file order.
    QStringList sectionNames() const;

    void setValue(const QString &section, const QString &key, const QString &value);
    // setValue for each pair in turn, in time linear in the section's size.
    void setValues(const QString &section, const QList<std::pair<QString, QString>> &values);
    void removeKey(const QString &section, const QString &key);
    void removeSection(const QString &section);

    // Windows-1252, CRLF line ends.
    QByteArray serialize() const;

private:
    struct Line
    {
        QString text; // the line as it stands, for lines kept verbatim
        QString key;  // non-empty for "key=value" lines
        QString value;
    };
    struct Section
    {
        QString name;   // empty for lines before the first section
        QString header; // the "[name]" line as it stands; empty before the first section
        QList<Line> lines;
    };
    int findSection(const QString &name) const;
    bool isEmpty() const;
    QList<Section> m_sections;
};
