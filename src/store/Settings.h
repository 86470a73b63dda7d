#pragma once

#include "ProfileFile.h"
#include "SettingsKeys.h"

#include <QString>
#include <array>
#include <utility>
#include <vector>

// Typed access to the settings file through the key table.
class Settings
{
public:
    explicit Settings(const QString &path) : m_file(path) {}

    ProfileFile &file() { return m_file; }
    const ProfileFile &file() const { return m_file; }
    QString path() const { return m_file.path(); }

    bool flag(SettingKey key) const;
    bool flag(SettingKey key, bool def) const;
    int integer(SettingKey key) const;
    int integer(SettingKey key, int def) const;
    QString text(SettingKey key) const;
    QString text(SettingKey key, const QString &def) const;

    void setFlag(SettingKey key, bool value);
    void setInteger(SettingKey key, int value);
    void setText(SettingKey key, const QString &value);
    void remove(SettingKey key);
    // Several texts (or numbers as text) in one write of the file.
    void setTexts(const std::vector<std::pair<SettingKey, QString>> &values);

    // [Category] "1" ... "Cats"
    QString categoryName(int n) const;
    void setCategoryName(int n, const QString &name);
    void removeCategoryName(int n);

private:
    ProfileFile m_file;
};

// The positional ColumnWidths value "[012,206,061,031,012]".
namespace ColumnWidths {
// Widths above 999 do not fit the three-digit slots that older releases read
// by position; they are stored as 999 (only the task column ever gets that
// wide, and the layout step recomputes it anyway).
QString format(const std::array<int, 5> &widths);
// Reads the five three-character slices by position; a slice that is not a
// number throws "'<slice>' is not a valid integer value".
std::array<int, 5> parse(const QString &value);
// "[012,206," + dateWidth + ",031,012]"
QString defaultValue(int dateColumnWidth);
} // namespace ColumnWidths
