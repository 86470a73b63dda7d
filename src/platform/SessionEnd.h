#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Closes the main window once, the way its Exit button does, when the program is
// told to end from outside: by closeWindow() (a termination signal, the display
// going away), by the session manager's request to save before log-out or
// shutdown, or by the application quitting while the window is still open.
class SessionEnd : public QObject
{
    Q_OBJECT
public:
    explicit SessionEnd(QWidget &window);

    // Whether the window's close has run or is running.
    bool ended() const { return m_ended; }

public slots:
    // Runs the window's close unless it has run or is running.
    void closeWindow();
    // The window closed on its own (Exit, the tray's Exit, the title bar): a
    // later request has nothing left to do.
    void windowClosed() { m_ended = true; }

private:
    QPointer<QWidget> m_window;
    bool m_ended = false;
};
