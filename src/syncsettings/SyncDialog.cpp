#include "SyncDialog.h"

#include "platform/AppContext.h"
#include "platform/MessageService.h"
#include "platform/SecretStore.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "sync/SyncController.h"
#include "sync/SyncText.h"
#include "widgets/ApplyLanguage.h"
#include "widgets/Named.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString CalendarName = QStringLiteral("Nudgery");

// "AB:CD:..." in two lines, as a person compares it with what the server's
// keeper reads out.
QString fingerprint(const QByteArray &sha256Hex)
{
    QStringList pairs;
    const QString hex = QString::fromLatin1(sha256Hex).toUpper();
    for (int i = 0; i + 1 < hex.size(); i += 2)
        pairs << hex.mid(i, 2);
    const int half = int(pairs.size() + 1) / 2;
    return pairs.mid(0, half).join(QLatin1Char(':')) + QLatin1Char('\r') +
           pairs.mid(half).join(QLatin1Char(':'));
}

QLabel *labelFor(QWidget *parent, const char *name, QWidget *buddy)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

} // namespace

SyncDialog::SyncDialog(AppContext &ctx, SyncController &sync, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_sync(sync), m_discovery(m_client)
{
    setObjectName(QStringLiteral("SyncDialog"));
    m_language = chosenLanguage(*m_ctx.settings);
    m_client.setLanguage(m_language);
    m_account = SyncAccount::read(*m_ctx.settings);
    buildControls();
    ApplyLanguageSync(this, m_language == Language::English ? QStringLiteral("English")
                                                            : QStringLiteral("Portuguese"));
    loadControls();
    connect(&m_sync, &SyncController::statusChanged, this, &SyncDialog::showLastSync);
    connect(&m_discovery, &Discovery::created, this,
            [this](const Discovery::Calendar &made, const QString &error, const DavReply &) {
                setBusy(false);
                if (!error.isEmpty())
                    showResult(text("NotConnected").arg(error));
                else
                    store(made.url);
            });
}

void SyncDialog::buildControls()
{
    Edit_syncAddress = named<QLineEdit>(this, "Edit_syncAddress");
    Edit_syncAddress->setMinimumWidth(360);
    Edit_syncAddress->setPlaceholderText(QStringLiteral("https://"));
    Edit_syncUser = named<QLineEdit>(this, "Edit_syncUser");
    Edit_syncPassword = named<QLineEdit>(this, "Edit_syncPassword");
    Edit_syncPassword->setEchoMode(QLineEdit::Password);
    ComboBox_syncCalendar = named<QComboBox>(this, "ComboBox_syncCalendar");
    Button_syncTest = named<QPushButton>(this, "Button_syncTest");
    Button_syncTest->setAutoDefault(false);
    Label_syncResult = named<QLabel>(this, "Label_syncResult");
    Label_syncResult->setWordWrap(true);
    CheckBox_syncOn = named<QCheckBox>(this, "CheckBox_syncOn");
    Label_syncLast = named<QLabel>(this, "Label_syncLast");
    Label_syncLast->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(labelFor(this, "Label_syncAddress", Edit_syncAddress), Edit_syncAddress);
    form->addRow(labelFor(this, "Label_syncUser", Edit_syncUser), Edit_syncUser);
    form->addRow(labelFor(this, "Label_syncPassword", Edit_syncPassword), Edit_syncPassword);
    form->addRow(QString(), Button_syncTest);
    form->addRow(QString(), Label_syncResult);
    form->addRow(labelFor(this, "Label_syncCalendar", ComboBox_syncCalendar),
                 ComboBox_syncCalendar);
    form->addRow(QString(), CheckBox_syncOn);

    auto *buttons = new QDialogButtonBox(this);
    Button_syncOk = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    Button_syncOk->setObjectName(QStringLiteral("Button_syncOk"));
    Button_syncCancel = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    Button_syncCancel->setObjectName(QStringLiteral("Button_syncCancel"));
    Button_syncOk->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Label_syncLast);
    layout->addWidget(buttons);

    connect(Button_syncTest, &QPushButton::clicked, this, &SyncDialog::testConnection);
    connect(buttons, &QDialogButtonBox::accepted, this, &SyncDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SyncDialog::reject);
    connect(&m_discovery, &Discovery::finished, this,
            [this](const QList<Discovery::Calendar> &c, const QString &e, const DavReply &r) {
                discovered(c, e, r);
            });
}

void SyncDialog::loadControls()
{
    if (m_account.configured()) {
        Edit_syncAddress->setText(m_account.calendar.toString());
        const QString last = m_account.calendar.path().section(QLatin1Char('/'), -2, -2);
        ComboBox_syncCalendar->addItem(last.isEmpty() ? m_account.calendar.toString() : last,
                                       m_account.calendar);
        m_foundWith = fieldsKey();
    }
    Edit_syncUser->setText(m_account.user);
    if (m_account.configured() && !m_account.user.isEmpty())
        Edit_syncPassword->setPlaceholderText(text("PasswordKept"));
    CheckBox_syncOn->setChecked(m_account.enabled || !m_account.configured());
    showLastSync();
}

QString SyncDialog::text(const char *key) const
{
    return LanguageTables::text(LanguageTables::syncWindow(), key, m_language);
}

QString SyncDialog::noSecretStore(const QString &why) const
{
    return syncText("NoSecretStore", m_language)
        .arg(syncText("SecretStoreFailed", m_language).arg(why));
}

SyncAccount SyncDialog::accountFromFields() const
{
    SyncAccount account = m_account;
    const QString address = Edit_syncAddress->text().trimmed();
    const QUrl url = QUrl::fromUserInput(address);
    const bool web =
        url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    account.calendar = !address.isEmpty() && url.isValid() && web ? url : QUrl();
    account.user = Edit_syncUser->text().trimmed();
    // A certificate trusted for one server is nothing to another.
    if (account.calendar.host() != m_account.calendar.host())
        account.trustedCertificate.clear();
    return account;
}

// A list found with other fields than these is found again before it is stored.
QString SyncDialog::fieldsKey() const
{
    return QStringList{Edit_syncAddress->text().trimmed(), Edit_syncUser->text().trimmed(),
                       Edit_syncPassword->text()}
        .join(QChar(0));
}

void SyncDialog::testConnection()
{
    m_then = Then::Show;
    connectTo();
}

void SyncDialog::accept()
{
    if (m_busy)
        return;
    // Off: what the fields say is kept as it is, without asking the server.
    if (!CheckBox_syncOn->isChecked()) {
        SyncAccount account = accountFromFields();
        if (!account.configured())
            account.calendar = m_account.calendar;
        else if (fieldsKey() == m_foundWith &&
                 ComboBox_syncCalendar->currentData().toUrl().isValid())
            account.calendar = ComboBox_syncCalendar->currentData().toUrl();
        account.enabled = false;
        done(account);
        return;
    }
    if (fieldsKey() == m_foundWith && ComboBox_syncCalendar->count() > 0) {
        storeChosen();
        return;
    }
    m_then = Then::Store;
    connectTo();
}

void SyncDialog::connectTo()
{
    const SyncAccount account = accountFromFields();
    if (!account.configured()) {
        showResult(text("NoAddress").arg(Edit_syncAddress->text().trimmed()));
        return;
    }
    // Asked once: the host is kept with the account.
    if (account.needsPlainHttpConsent()) {
        if (!m_ctx.messages->confirm(
                this,
                text("PlainHttp").arg(account.calendar.toString(), account.calendar.host()))) {
            showResult(text("NotConnected").arg(text("PlainHttpRefused")));
            return;
        }
        m_account.plainHttpHost = account.calendar.host();
        connectTo();
        return;
    }
    const auto go = [this, account](const QString &password) {
        account.applyTo(m_client, password);
        showResult(text("Connecting"));
        m_discovery.start(account.calendar);
    };
    setBusy(true);
    const QString typed = Edit_syncPassword->text();
    if (!typed.isEmpty() || account.user.isEmpty()) {
        go(typed);
        return;
    }
    // The password kept for this user and server, if any. The store may answer
    // after the dialog closed (a locked keyring waits for its unlock prompt).
    m_sync.secrets().read(account.secretKey(),
                          [dialog = QPointer<SyncDialog>(this), go](const SecretStore::Answer &a) {
                              if (dialog)
                                  go(a.ok ? a.secret : QString());
                          });
}

void SyncDialog::discovered(const QList<Discovery::Calendar> &calendars, const QString &error,
                            const DavReply &reply)
{
    setBusy(false);
    if (!error.isEmpty()) {
        const SyncAccount account = accountFromFields();
        if (!reply.certificateProblem.isEmpty() && !reply.certificateSha256.isEmpty() &&
            m_ctx.messages->confirm(this,
                                    text("TrustCertificate")
                                        .arg(account.calendar.host(), reply.certificateProblem,
                                             fingerprint(reply.certificateSha256)))) {
            m_account.trustedCertificate = reply.certificateSha256;
            m_account.calendar = account.calendar; // the trust is for this server
            connectTo();
            return;
        }
        showResult(text("NotConnected").arg(error));
        return;
    }
    showCalendars(calendars);
    m_foundWith = fieldsKey();
    showResult(text("Connected").arg(calendars.size()));
    if (m_then == Then::Store)
        storeChosen();
}

void SyncDialog::showCalendars(const QList<Discovery::Calendar> &calendars)
{
    const QUrl before = ComboBox_syncCalendar->currentData().toUrl();
    ComboBox_syncCalendar->clear();
    int chosen = -1;
    bool named = false;
    for (const Discovery::Calendar &c : calendars) {
        if (c.url == before || (chosen < 0 && c.url == m_account.calendar))
            chosen = ComboBox_syncCalendar->count();
        named = named || c.name.compare(CalendarName, Qt::CaseInsensitive) == 0;
        ComboBox_syncCalendar->addItem(c.name, c.url);
    }
    if (!named)
        ComboBox_syncCalendar->addItem(text("CreateCalendar"), QUrl());
    // One found: that one; several: the one used before, else the first.
    ComboBox_syncCalendar->setCurrentIndex(std::max(chosen, 0));
}

void SyncDialog::storeChosen()
{
    const QUrl calendar = ComboBox_syncCalendar->currentData().toUrl();
    if (calendar.isValid() && !calendar.isEmpty()) {
        store(calendar);
        return;
    }
    setBusy(true);
    showResult(text("Connecting"));
    m_discovery.create(CalendarName);
}

void SyncDialog::store(const QUrl &calendar)
{
    SyncAccount account = accountFromFields();
    account.calendar = calendar;
    account.enabled = CheckBox_syncOn->isChecked();
    done(account);
}

void SyncDialog::done(const SyncAccount &account)
{
    try {
        account.write(*m_ctx.settings);
    } catch (const StoreError &e) {
        m_ctx.messages->error(this, e.message());
        return;
    }
    // The account is stored: the controller hears of it even when the secret
    // store answers after the dialog closed.
    const QString typed = Edit_syncPassword->text();
    const auto tell = [sync = &m_sync, typed, enabled = account.enabled] {
        sync->accountChanged(typed.isEmpty() ? std::nullopt : std::optional<QString>(typed));
        if (enabled)
            sync->syncNow();
    };
    if (typed.isEmpty() || account.user.isEmpty()) {
        tell();
        QDialog::accept();
        return;
    }
    setBusy(true);
    m_sync.secrets().write(
        account.secretKey(), typed,
        [dialog = QPointer<SyncDialog>(this), tell](const SecretStore::Answer &a) {
            if (dialog) {
                dialog->setBusy(false);
                if (!a.ok)
                    dialog->m_ctx.messages->notice(dialog, dialog->noSecretStore(a.error));
            }
            tell();
            if (dialog)
                dialog->QDialog::accept();
        });
}

void SyncDialog::setBusy(bool busy)
{
    m_busy = busy;
    for (QWidget *w :
         {static_cast<QWidget *>(Button_syncTest), static_cast<QWidget *>(Button_syncOk)})
        w->setEnabled(!busy);
}

void SyncDialog::showResult(const QString &result)
{
    Label_syncResult->setText(result);
}

void SyncDialog::showLastSync()
{
    Label_syncLast->setText(text("LastSync").arg(m_sync.status(m_language)));
}
