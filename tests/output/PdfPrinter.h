#pragma once

#include "platform/Services.h"

#include <QList>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <optional>

// A default printer that prints to a PDF file, read back with pdftotext.
class PdfPrinterService : public PrinterService
{
public:
    // The printable area starts this far from the sheet's edges.
    static constexpr double MarginPt = 10;

    explicit PdfPrinterService(const QString &pdfPath) : path(pdfPath) {}
    std::unique_ptr<QPrinter> defaultPrinter() override;

    QString path;
    QPageSize pageSize{QPageSize::A4};
    bool present = true; // false: there is no default printer
    int selected = 0;    // how often the printer was asked for
};

// The printed text read back from the PDF with pdftotext's word boxes, so that
// every blank between words is recovered exactly (trailing blanks cannot be).
struct PdfDocument
{
    struct Line
    {
        double top = 0; // points from the printable area's top
        QString text;
    };
    QString title;    // the print job's name
    double pitch = 0; // the width of one character, in points
    QList<QList<Line>> pages;

    static PdfDocument read(const QString &pdfPath);
    QStringList pageText(int page) const;
    QStringList allText() const; // every page's lines, in order
};

// A line as it comes back from the PDF: without trailing blanks.
QString trimmedRight(const QString &line);
QStringList trimmedRight(const QStringList &lines);
