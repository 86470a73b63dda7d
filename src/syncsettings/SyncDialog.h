#pragma once

#include "i18n/LanguageTables.h"
#include "sync/DavClient.h"
#include "sync/Discovery.h"
#include "sync/SyncAccount.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SyncController;
struct AppContext;

// The account of the sync: the server's address, user and password, the task
// calendar to use (found at the address, or one made there named Nudgery) and
// whether to synchronise. "Test connection" finds the calendars; Ok finds them
// first when the address, user or password changed since, then stores the
// account ([Sync] in the settings file, the password in the desktop's secret
// store) and has the controller sync at once. A certificate that does not
// verify is trusted only after the user saw its fingerprint; a password goes
// over plain http to another machine only after the user said yes once.
class SyncDialog : public QDialog
{
    Q_OBJECT
public:
    SyncDialog(AppContext &ctx, SyncController &sync, QWidget *parent);

    void testConnection();
    void accept() override;

private:
    enum class Then { Show, Store };
    void buildControls();
    void loadControls();
    QString text(const char *key) const;
    // The secret store could not keep the password (why, in its words).
    QString noSecretStore(const QString &why) const;
    // What the fields say; the address as a URL, empty when it is none.
    SyncAccount accountFromFields() const;
    QString fieldsKey() const;
    void connectTo();
    void discovered(const QList<Discovery::Calendar> &calendars, const QString &error,
                    const DavReply &reply);
    void showCalendars(const QList<Discovery::Calendar> &calendars);
    void storeChosen();
    void store(const QUrl &calendar);
    void done(const SyncAccount &account);
    void setBusy(bool busy);
    void showResult(const QString &result);
    void showLastSync();

    AppContext &m_ctx;
    SyncController &m_sync;
    Language m_language = Language::English;
    SyncAccount m_account; // as stored, with a trust or consent given here
    DavClient m_client;
    Discovery m_discovery;
    Then m_then = Then::Show; // after the calendars are found
    QString m_foundWith;      // fieldsKey() of the connection that filled the list
    bool m_busy = false;

    QLineEdit *Edit_syncAddress = nullptr, *Edit_syncUser = nullptr, *Edit_syncPassword = nullptr;
    QComboBox *ComboBox_syncCalendar = nullptr;
    QPushButton *Button_syncTest = nullptr, *Button_syncOk = nullptr, *Button_syncCancel = nullptr;
    QCheckBox *CheckBox_syncOn = nullptr;
    QLabel *Label_syncResult = nullptr, *Label_syncLast = nullptr;
};
