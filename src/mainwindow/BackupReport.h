#pragma once

#include <QObject>
#include <QString>

class QWidget;
class DailyBackup;
struct AppContext;

// A daily backup that could not be made, told once: in a box of its own after the
// command whose write met it is over (never over another box), or at the latest
// when the window closes.
class BackupReport : public QObject
{
    Q_OBJECT
public:
    BackupReport(AppContext &ctx, DailyBackup &backups, QWidget *window);

    // The report not yet told, now.
    void showPending();

    // " (reason)", or nothing when the system gave none.
    static QString withReason(const QString &reason);

private:
    void backupFailed(const QString &folder, const QString &reason);

    AppContext &m_ctx;
    QWidget *m_window;
    QString m_pending;
};
