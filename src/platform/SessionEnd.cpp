#include "SessionEnd.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QWidget>

SessionEnd::SessionEnd(QWidget &window) : m_window(&window)
{
    // Direct: the session manager object is valid only during the emission, and
    // the session may end right after it.
    connect(
        qGuiApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager &) { closeWindow(); }, Qt::DirectConnection);
    connect(qGuiApp, &QCoreApplication::aboutToQuit, this, &SessionEnd::closeWindow,
            Qt::DirectConnection);
}

void SessionEnd::closeWindow()
{
    if (m_ended || !m_window)
        return;
    m_ended = true;
    m_window->close();
}
