#pragma once

#include <QMap>
#include <QString>

// A program's version block: its translation entries and its string tables,
// queried by sub-block path ("\StringFileInfo\040904E4\FileVersion") as the
// system's version functions are. The program's own block is built from the
// strings CMake generates from the project's version.
class VersionBlock
{
public:
    // The running program's block: U.S. English, code page 1252.
    static VersionBlock program();

    bool isEmpty() const { return m_translations.isEmpty() && m_strings.isEmpty(); }

    void addTranslation(quint16 language, quint16 codePage);
    // "\VarFileInfo\Translation\": the first entry; false when there is none.
    bool firstTranslation(quint16 &language, quint16 &codePage) const;

    void setString(const QString &table, const QString &key, const QString &value);
    // "\StringFileInfo\<table>\<key>"; false when the block has no such value.
    bool query(const QString &subBlock, QString &value) const;

private:
    QList<QPair<quint16, quint16>> m_translations;
    QMap<QString, QString> m_strings; // by sub-block path
};
