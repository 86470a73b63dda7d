// The notification-area icon and the shown / hidden-in-tray states.
#include "TForm1.h"
#include "TaskPane.h"

#include "platform/TrayIcon.h"
#include "store/Settings.h"
#include "syncsettings/SyncCommands.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QTimer>

void TForm1::SpeedButton2Click()
{
    setHiddenInTray(true);
}

bool TForm1::hiddenInTray() const
{
    return !isVisible() || isMinimized();
}

void TForm1::setHiddenInTray(bool hidden)
{
    if (hidden) {
        // Without a notification area the window stays minimised on the taskbar, so
        // it can always be brought back.
        if (trayIcon->available())
            hide();
        else
            showMinimized();
        pop1_Show->setText(QStringLiteral("&Show"));
        return;
    }
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    m_pane->focusGrid();
    if (m_ctx.settings->text(SettingKey::FormStyle) == QLatin1String("fsStayOnTop"))
        setStayOnTop(true);
    pop1_Show->setText(QStringLiteral("&Hide"));
}

void TForm1::PopupMenu1Popup()
{
    pop1_Show->setText(hiddenInTray() ? QStringLiteral("&Show") : QStringLiteral("&Hide"));
}

void TForm1::pop1_ShowClick()
{
    setHiddenInTray(!hiddenInTray());
}

void TForm1::buildTrayIconAtStart()
{
    trayIcon->setToolTip(QStringLiteral(" Nudgery "));
    // The last sync's result under the name.
    connect(m_sync, &SyncCommands::statusChanged, this, [this](const QString &status) {
        trayIcon->setToolTip(QStringLiteral(" Nudgery \n") + status);
    });
    // Left and right presses both open the menu at the cursor.
    connect(trayIcon, &TrayIcon::pressed, this, [this](const QPoint &pos) {
        raise();
        PopupMenu1->popup(pos);
    });
    trayIcon->show();
}
