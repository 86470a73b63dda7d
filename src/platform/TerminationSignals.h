#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP as a Qt signal. The handler may do nothing but
// async-signal-safe calls, so it only writes the signal's number into a socket
// pair; the event loop reads it and emits terminationRequested().
// One object at a time. While it lives, those signals no longer end the process
// by themselves; its destructor gives them back their earlier handling.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // False when the socket pair or a handler could not be set up: the signals
    // then keep their default action.
    bool isActive() const { return m_notifier != nullptr; }

signals:
    // For every signal received; the receiver decides what a repeat means.
    void terminationRequested(int signalNumber);

private:
    void readSignals();
    void restoreHandlers();

    QSocketNotifier *m_notifier = nullptr;
};
