#include "TrayIcon.h"

#include "AppIcon.h"

#include <QCursor>
#include <QSystemTrayIcon>

TrayIcon::TrayIcon(QObject *parent) : QObject(parent), m_icon(new QSystemTrayIcon(appIcon(), this))
{
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Trigger is a left click, Context a right one.
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
                    emit pressed(QCursor::pos());
            });
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::available() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::show()
{
    m_icon->show();
}

void TrayIcon::hide()
{
    m_icon->hide();
}

bool TrayIcon::isVisible() const
{
    return m_icon->isVisible();
}

void TrayIcon::setToolTip(const QString &tip)
{
    m_icon->setToolTip(tip);
}

void TrayIcon::setContextMenu(QMenu *menu)
{
    m_icon->setContextMenu(menu);
}
