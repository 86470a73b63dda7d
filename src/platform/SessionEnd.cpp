#include "SessionEnd.h"

#include <QApplication>
#include <QDialog>
#include <QSessionManager>
#include <QWidget>

SessionEnd::SessionEnd()
{
    // Direct: the session manager object is valid only during the emission, and
    // the session may end right after it.
    connect(
        qGuiApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager &) { closeWindow(); }, Qt::DirectConnection);
    connect(qGuiApp, &QCoreApplication::aboutToQuit, this, &SessionEnd::closeWindow,
            Qt::DirectConnection);
    m_boxCloser.setInterval(50);
    connect(&m_boxCloser, &QTimer::timeout, this, &SessionEnd::closeStartUpBox);
}

void SessionEnd::startUpDone(QWidget &window)
{
    m_window = &window;
    m_boxCloser.stop();
    if (m_requested && !m_ended) {
        m_ended = true;
        window.close();
    }
}

void SessionEnd::closeWindow()
{
    if (m_ended)
        return;
    if (!m_window) {
        // Still starting: each box of the start-up ends as soon as it is shown.
        m_requested = true;
        closeStartUpBox();
        m_boxCloser.start();
        return;
    }
    m_ended = true;
    m_window->close();
}

void SessionEnd::closeStartUpBox()
{
    QWidget *box = QApplication::activeModalWidget();
    if (auto *dialog = qobject_cast<QDialog *>(box))
        dialog->reject();
    else if (box)
        box->close();
}
