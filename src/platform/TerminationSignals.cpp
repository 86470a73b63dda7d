#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> Caught{SIGTERM, SIGINT, SIGHUP};

// [0] is written by the handler, [1] read by the event loop. A plain int: the
// handler may read nothing fancier.
int pipeEnds[2] = {-1, -1};
std::array<struct sigaction, Caught.size()> previous{};
bool installed[Caught.size()] = {};

extern "C" void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    // Non-blocking: with the pair full, the byte is dropped, and the ones already
    // waiting ask for the same thing.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (pipeEnds[0] != -1)
        return; // another object has them
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeEnds) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return;
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls of the event loop and of file writes carry on.
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < Caught.size(); ++i) {
        installed[i] = ::sigaction(Caught[i], &action, &previous[i]) == 0;
        if (!installed[i]) {
            restoreHandlers();
            return;
        }
    }
    m_notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignals);
}

TerminationSignals::~TerminationSignals()
{
    if (m_notifier)
        restoreHandlers();
}

void TerminationSignals::restoreHandlers()
{
    for (size_t i = 0; i < Caught.size(); ++i) {
        if (installed[i])
            ::sigaction(Caught[i], &previous[i], nullptr);
        installed[i] = false;
    }
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void TerminationSignals::readSignals()
{
    char bytes[16];
    ssize_t n;
    while ((n = ::read(pipeEnds[1], bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR)) {
        for (ssize_t i = 0; i < n; ++i)
            emit terminationRequested(int(bytes[i]));
    }
}
