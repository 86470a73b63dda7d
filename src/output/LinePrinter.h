#pragma once

#include <QFont>
#include <QPainter>
#include <QString>
#include <memory>

class QPrinter;

// A text sink that owns one print job: lines of text written one under the
// other from the top-left corner of the printable area, in "Courier New".
// A line wider than the page wraps; a line that leaves less than two of its own
// heights below it moves the next one to the top of a new page. Positions are
// the printer's device pixels.
class LinePrinter
{
public:
    static constexpr qreal PointSize = 8;

    LinePrinter(std::unique_ptr<QPrinter> printer, const QString &jobTitle);
    ~LinePrinter();
    LinePrinter(const LinePrinter &) = delete;
    LinePrinter &operator=(const LinePrinter &) = delete;

    // Starts the job on its first page; throws StoreError when it cannot.
    void open();
    void writeLine(const QString &text);
    // Ends the job, handing it to the printer; throws StoreError on failure.
    void close();

private:
    void write(const QString &text);
    void endLine();
    void startPendingPage();
    int fittingLength(const QString &text, int from, int room) const;

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter; // declared after the printer: it ends before the printer goes
    QFont m_font;
    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
    int m_lineHeight = 0;
    int m_charHeight = 0;
    int m_ascent = 0;
    // A page break is taken when the next text is drawn, so a list that ends
    // exactly at a page's foot does not feed an empty sheet.
    bool m_pageDue = false;
};
