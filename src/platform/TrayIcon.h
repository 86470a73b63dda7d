#pragma once

#include <QObject>
#include <QPoint>

class QMenu;
class QSystemTrayIcon;

// The notification-area icon. Without a tray host (plain X servers, some
// Wayland desktops) available() is false and the main window keeps a taskbar
// entry instead.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    bool available() const;
    void show();
    void hide();
    bool isVisible() const;
    void setToolTip(const QString &tip);
    // Qt opens a context menu by itself on a right press. To have both buttons
    // open the menu the same way, leave it unset and open it on pressed().
    void setContextMenu(QMenu *menu);

signals:
    // A left or right press on the icon; other events (double clicks, middle
    // button) are ignored. The position is the cursor's at that moment.
    void pressed(const QPoint &globalPos);

private:
    QSystemTrayIcon *m_icon;
};
