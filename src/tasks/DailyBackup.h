#pragma once

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class Clock;

// Copies of the program's files in "backups" inside the program folder, one
// sub-folder a day (yyyy-MM-dd), the latest 14 kept. The first write of a day
// makes that day's copy first; a copy that fails is told once a run and never
// stops the write.
class DailyBackup : public QObject
{
    Q_OBJECT
public:
    static constexpr int DaysKept = 14;

    // fileNames: inside programFolder (with its trailing '/'); the first one is the
    // task data file, whose tasks a listing counts.
    DailyBackup(const QString &programFolder, const QStringList &fileNames, const Clock &clock,
                QObject *parent = nullptr);

    QString folder() const { return m_folder; }
    // Called before every write to one of the files.
    void beforeWrite();

    struct Backup
    {
        QDate date;
        QString path;
        int tasks = 0;
    };
    // Newest first.
    QList<Backup> list() const;
    // The files of a backup replace the program's, each whole; the current ones are
    // copied into today's folder first (the backup's bytes are read before, so
    // today's own backup can be restored too). False, with the system's reason when
    // it gave one and nothing restored, when the current files cannot be copied;
    // throws StoreError when a file cannot be written.
    bool restore(const QString &backupPath, QString *reason);

signals:
    // A backup could not be made in folder (the system's reason, or empty); told
    // once a run.
    void failed(const QString &folder, const QString &reason);

private:
    // Copies the files into today's folder, replacing it; false with the system's
    // reason, when it gave one.
    bool copyToday(QString *reason);
    void removeOldest();

    QString m_programFolder;
    QString m_folder;
    QStringList m_fileNames;
    const Clock &m_clock;
    QDate m_lastDay;
    bool m_told = false;
};
