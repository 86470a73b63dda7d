#pragma once

#include "i18n/LanguageTables.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;
struct AppContext;

// The File menu's sync items for the main window: "Synchronisation..." opens the
// account dialog, "Synchronise now" syncs at once, and a line under them tells
// the last sync's time and result (also told through statusChanged, for the
// tray icon's tooltip). A failure is told once, as a desktop notification that
// opens the dialog; the retries that follow are silent. Without a sync
// controller in the context the items are there but disabled.
class SyncCommands : public QObject
{
    Q_OBJECT
public:
    SyncCommands(AppContext &ctx, QWidget *window);

    // Adds the items at the end of menu.
    void addTo(QMenu *menu);
    QAction *syncNowAction() const { return m_now; }
    // The last sync's line in the language now chosen; empty without a sync.
    QString status() const;
    void openDialog();

signals:
    void statusChanged(const QString &status);

private:
    void showStatus(Language language);

    AppContext &m_ctx;
    QWidget *m_window;
    QAction *m_dialog = nullptr;
    QAction *m_now = nullptr;
    QAction *m_status = nullptr;
};
