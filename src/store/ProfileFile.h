#pragma once

#include <QString>

#include <functional>

class ProfileData;

// The settings file: every read goes to the file, every write reaches the file
// at once (written to a temporary file beside it and renamed over it). A missing
// file, section or key reads as the default. A refused write throws StoreError
// "Unable to write to <path>".
class ProfileFile
{
public:
    explicit ProfileFile(const QString &path);

    const QString &path() const { return m_path; }
    // The first-start conversion reads the old archive through the same object.
    void setPath(const QString &path) { m_path = path; }

    QString readString(const QString &section, const QString &key, const QString &def) const;
    // Decimal (or $hex) text; anything else gives the default.
    int readInteger(const QString &section, const QString &key, int def) const;
    // The same from a file already read.
    static int integerIn(const ProfileData &data, const QString &section, const QString &key,
                         int def);
    // Read as an integer, non-zero meaning on; a word gives the default.
    bool readBool(const QString &section, const QString &key, bool def) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value); // "1" / "0"
    void deleteKey(const QString &section, const QString &key);

    // The whole file as it stands, for a reader of many keys.
    ProfileData read() const;
    // Several changes in one write (none when they change nothing).
    void update(const std::function<void(ProfileData &)> &change);

    // Run before every write (the daily backup).
    void setBeforeWrite(std::function<void()> hook) { m_beforeWrite = std::move(hook); }

private:
    void save(const QByteArray &bytes) const;

    QString m_path;
    std::function<void()> m_beforeWrite;
};
