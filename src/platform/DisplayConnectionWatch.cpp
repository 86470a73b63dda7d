#include "DisplayConnectionWatch.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <cstdlib>
#include <xcb/xcb.h>

DisplayConnectionWatch::DisplayConnectionWatch()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform.startsWith("xcb"))
        m_connection = xcb_connect(nullptr, nullptr);
}

void DisplayConnectionWatch::start()
{
    if (!m_connection || xcb_connection_has_error(m_connection) || m_notifier ||
        QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    m_notifier =
        new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DisplayConnectionWatch::check);
}

DisplayConnectionWatch::~DisplayConnectionWatch()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

void DisplayConnectionWatch::check()
{
    // The connection asks for no events; whatever comes is read and dropped so
    // that the notifier does not fire again for it.
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
        std::free(event);
    if (!xcb_connection_has_error(m_connection))
        return;
    m_notifier->setEnabled(false);
    emit connectionLost();
}
