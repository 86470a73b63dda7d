#pragma once

#include <QObject>

class QSocketNotifier;
struct xcb_connection_t;

// Tells when the X display goes away. Qt's xcb plugin ends the process with
// exit(1) as soon as it sees its connection broken, too early for a clean close
// and too late for exit handlers (thread-local objects are already gone). This
// keeps a second, idle connection to the same display, opened before Qt's: a
// server that goes away closes its clients in the order they came, so this one
// breaks first, and the event loop serves it before the plugin learns of its own.
class DisplayConnectionWatch : public QObject
{
    Q_OBJECT
public:
    // Connects to $DISPLAY unless another platform than xcb was asked for; before
    // the QGuiApplication exists.
    DisplayConnectionWatch();
    ~DisplayConnectionWatch() override;

    // Watches from now on, when the program runs on the xcb platform (once the
    // QGuiApplication exists).
    void start();
    bool isActive() const { return m_notifier != nullptr; }

signals:
    void connectionLost();

private:
    void check();

    xcb_connection_t *m_connection = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};
