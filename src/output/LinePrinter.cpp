#include "LinePrinter.h"

#include "store/StoreError.h"

#include <QFontMetrics>
#include <QPrinter>
#include <algorithm>

namespace {
QString jobError(const QString &what)
{
    return QStringLiteral("The printer reported an error while %1.").arg(what);
}
} // namespace

LinePrinter::LinePrinter(std::unique_ptr<QPrinter> printer, const QString &jobTitle)
    : m_printer(std::move(printer)), m_font(QStringLiteral("Courier New"))
{
    // Only the face is chosen; where it is missing, any fixed-pitch face stands in.
    m_font.setStyleHint(QFont::TypeWriter);
    m_font.setFixedPitch(true);
    m_font.setPointSizeF(PointSize);
    m_printer->setDocName(jobTitle);
}

LinePrinter::~LinePrinter()
{
    // An error part-way leaves what was written in the job.
    if (m_painter.isActive())
        m_painter.end();
}

void LinePrinter::open()
{
    if (!m_painter.begin(m_printer.get()))
        throw StoreError(jobError(QStringLiteral("starting the print job")));
    m_painter.setFont(m_font);
    m_painter.setPen(Qt::black);
    const QFontMetrics metrics = m_painter.fontMetrics();
    m_charHeight = metrics.height();
    m_ascent = metrics.ascent();
    m_x = 0;
    m_y = 0;
    m_width = m_painter.device()->width();
    m_height = m_painter.device()->height();
    m_lineHeight = 0;
    m_pageDue = false;
}

void LinePrinter::writeLine(const QString &text)
{
    write(text);
    endLine();
}

void LinePrinter::close()
{
    if (!m_painter.end() || m_printer->printerState() == QPrinter::Error)
        throw StoreError(jobError(QStringLiteral("finishing the print job")));
}

int LinePrinter::fittingLength(const QString &text, int from, int room) const
{
    const QFontMetrics metrics = m_painter.fontMetrics();
    int hi = int(text.size()) - from;
    if (metrics.horizontalAdvance(text.mid(from)) <= room)
        return hi; // the usual case: the rest fits
    // The longest piece whose width fits the room (widths grow with length).
    int lo = 0;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (metrics.horizontalAdvance(text.mid(from, mid)) <= room)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

void LinePrinter::write(const QString &text)
{
    int from = 0;
    while (from < text.size()) {
        int n = fittingLength(text, from, m_width - m_x);
        if (n == 0 && m_x == 0)
            n = 1; // a character wider than the page still goes out, alone on its line
        if (n > 0) {
            const QString piece = text.mid(from, n);
            startPendingPage();
            m_painter.drawText(m_x, m_y + m_ascent, piece);
            m_lineHeight = std::max(m_lineHeight, m_charHeight + 2);
            from += n;
            if (from >= text.size()) {
                m_x += m_painter.fontMetrics().horizontalAdvance(piece);
                break;
            }
        }
        endLine();
    }
}

void LinePrinter::endLine()
{
    m_x = 0;
    m_y += m_lineHeight > 0 ? m_lineHeight : m_charHeight;
    if (m_y > m_height - 2 * m_lineHeight) {
        m_pageDue = true;
        m_x = 0;
        m_y = 0;
    }
    m_lineHeight = 0;
}

void LinePrinter::startPendingPage()
{
    if (!m_pageDue)
        return;
    m_pageDue = false;
    if (!m_printer->newPage())
        throw StoreError(jobError(QStringLiteral("starting a new page")));
}
