#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

// Closes the main window once, the way its Exit button does, when the program is
// told to end from outside: by closeWindow() (a termination signal, the display
// going away), by the session manager's request to save before log-out or
// shutdown, or by the application quitting while the window is still open.
//
// A request during the start-up, before the window is whole, closes the start-up's
// boxes as they come (a damaged file's notice, the weekend stop, "already
// running"), so the start-up runs to its end at once; the window's close then
// runs at startUpDone().
class SessionEnd : public QObject
{
    Q_OBJECT
public:
    SessionEnd();

    // The window exists whole: a request made during the start-up closes it now.
    void startUpDone(QWidget &window);
    // Whether an end was asked for or the window's close has run or is running.
    bool ended() const { return m_requested || m_ended; }

public slots:
    // Runs the window's close unless it has run or is running.
    void closeWindow();
    // The window closed on its own (Exit, the tray's Exit, the title bar): a
    // later request has nothing left to do.
    void windowClosed() { m_ended = true; }

private:
    void closeStartUpBox();

    QPointer<QWidget> m_window;
    QTimer m_boxCloser;
    bool m_requested = false;
    bool m_ended = false;
};
