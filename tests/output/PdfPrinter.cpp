#include "PdfPrinter.h"

#include <QMarginsF>
#include <QPrinter>
#include <QProcess>
#include <QXmlStreamReader>
#include <cmath>
#include <map>
#include <stdexcept>

std::unique_ptr<QPrinter> PdfPrinterService::defaultPrinter()
{
    ++selected;
    if (!present)
        return nullptr;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageSize(pageSize);
    printer->setPageMargins(QMarginsF(MarginPt, MarginPt, MarginPt, MarginPt), QPageLayout::Point);
    return printer;
}

namespace {

struct Word
{
    double left, top, right;
    QString text;
};

QString boxesOf(const QString &pdfPath)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                          QStringLiteral("UTF-8"), pdfPath, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error("pdftotext failed: " + p.readAllStandardError().toStdString());
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

PdfDocument PdfDocument::read(const QString &pdfPath)
{
    PdfDocument doc;
    QList<QList<Word>> pages;
    QXmlStreamReader xml(boxesOf(pdfPath));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("title")) {
            doc.title = xml.readElementText();
        } else if (xml.name() == QLatin1String("page")) {
            pages.append(QList<Word>());
        } else if (xml.name() == QLatin1String("word")) {
            const auto a = xml.attributes();
            Word w{a.value(QLatin1String("xMin")).toDouble(),
                   a.value(QLatin1String("yMin")).toDouble(),
                   a.value(QLatin1String("xMax")).toDouble(),
                   {}};
            w.text = xml.readElementText();
            pages.last().append(w);
        }
    }
    if (xml.hasError())
        throw std::runtime_error("unreadable pdftotext output: " + xml.errorString().toStdString());

    // Fixed pitch: the character width is the same in every word.
    double width = 0;
    qsizetype chars = 0;
    for (const auto &page : pages)
        for (const Word &w : page) {
            width += w.right - w.left;
            chars += w.text.size();
        }
    doc.pitch = chars ? width / double(chars) : 1;
    const double pitch = doc.pitch;

    for (const auto &page : pages) {
        std::map<long, QList<Word>> rows; // by top, in hundredths of a point
        for (const Word &w : page)
            rows[std::lround(w.top * 100)].append(w);
        QList<Line> lines;
        for (auto &[top, words] : rows) {
            std::sort(words.begin(), words.end(),
                      [](const Word &a, const Word &b) { return a.left < b.left; });
            QString text;
            for (const Word &w : words) {
                const int column = int(std::lround((w.left - PdfPrinterService::MarginPt) / pitch));
                if (text.size() < column)
                    text += QString(column - text.size(), QLatin1Char(' '));
                text += w.text;
            }
            lines.append({double(top) / 100 - PdfPrinterService::MarginPt, text});
        }
        doc.pages.append(lines);
    }
    return doc;
}

QStringList PdfDocument::pageText(int page) const
{
    QStringList out;
    for (const Line &l : pages.value(page))
        out << l.text;
    return out;
}

QStringList PdfDocument::allText() const
{
    QStringList out;
    for (int p = 0; p < pages.size(); ++p)
        out << pageText(p);
    return out;
}

QString trimmedRight(const QString &line)
{
    qsizetype n = line.size();
    while (n > 0 && line[n - 1] == QLatin1Char(' '))
        --n;
    return line.left(n);
}

QStringList trimmedRight(const QStringList &lines)
{
    QStringList out;
    for (const QString &l : lines)
        out << trimmedRight(l);
    return out;
}
