#include "output/LinePrinter.h"
#include "PdfPrinter.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double PointsPerDevicePixel = 72.0 / 1200.0; // a high-resolution PDF printer

class LinePrinterTest : public ::testing::Test
{
protected:
    PdfDocument print(const QStringList &lines)
    {
        LinePrinter out(printers.defaultPrinter(), QStringLiteral("Test job"));
        out.open();
        for (const QString &line : lines)
            out.writeLine(line);
        out.close();
        return PdfDocument::read(printers.path);
    }
    // The printable area's height in points: the sheet less both margins.
    double printableHeight() const
    {
        return printers.pageSize.size(QPageSize::Point).height() - 2 * PdfPrinterService::MarginPt;
    }

    QTemporaryDir dir;
    PdfPrinterService printers{dir.filePath("out.pdf")};
};

TEST_F(LinePrinterTest, shouldWriteLinesOneUnderTheOtherFromTheTopLeftCorner)
{
    const PdfDocument doc = print({"First line", "       indented by seven", "x  y   z"});
    EXPECT_EQ(doc.title, "Test job");
    ASSERT_EQ(doc.pages.size(), 1);
    EXPECT_EQ(doc.pageText(0), QStringList({"First line", "       indented by seven", "x  y   z"}));
    EXPECT_NEAR(doc.pages[0][0].top, 0, 0.5);
}

TEST_F(LinePrinterTest, shouldAdvanceTwoPixelsLessForAnEmptyLineThanForALineOfText)
{
    // A line of text is its text height + 2 pixels high; an empty one the font's height.
    const PdfDocument doc = print({"a", "", "b", "c"});
    ASSERT_EQ(doc.pageText(0), QStringList({"a", "b", "c"}));
    const auto &lines = doc.pages[0];
    const double textLine = lines[2].top - lines[1].top;
    const double emptyLine = (lines[1].top - lines[0].top) - textLine;
    EXPECT_NEAR(textLine - emptyLine, 2 * PointsPerDevicePixel, 0.02);
}

TEST_F(LinePrinterTest, shouldWrapALineWiderThanThePageIntoTheLongestPiecesThatFit)
{
    printers.pageSize =
        QPageSize(QSizeF(80, 120), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    QString text = QStringLiteral("       ");
    for (int i = 0; text.size() < 100; ++i)
        text += QString::number(i % 10);
    const PdfDocument doc = print({text, "next"});
    const QStringList lines = doc.pageText(0);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0] + lines[1] + lines[2], text);
    EXPECT_EQ(lines[0].size(), lines[1].size());
    EXPECT_FALSE(lines[1].startsWith(' ')); // the rest starts at the left edge
    EXPECT_EQ(lines[3], "next");

    // Longest fitting piece: n characters fit the printable width, n + 1 do not.
    const double pitch = doc.pitch;
    const double width =
        printers.pageSize.size(QPageSize::Point).width() - 2 * PdfPrinterService::MarginPt;
    const int n = int(lines[0].size());
    EXPECT_LE(n * pitch, width + 0.05);
    EXPECT_GT((n + 1) * pitch, width - 0.05);
}

TEST_F(LinePrinterTest, shouldContinueAtTheTopOfANewPageWhenLessThanTwoLinesRemain)
{
    printers.pageSize =
        QPageSize(QSizeF(120, 60), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    QStringList lines;
    for (int i = 1; i <= 40; ++i)
        lines << QStringLiteral("line %1").arg(i, 2, 10, QLatin1Char('0'));
    const PdfDocument doc = print(lines);

    ASSERT_GE(doc.pages.size(), 2);
    EXPECT_EQ(doc.allText(), lines);
    const double step = doc.pages[0][1].top - doc.pages[0][0].top;
    // After line k the position is k steps down; a new page starts once that is
    // more than the page height less two line heights.
    const int perPage = int(std::floor((printableHeight() - 2 * step) / step)) + 1;
    for (int p = 0; p < doc.pages.size(); ++p) {
        EXPECT_NEAR(doc.pages[p][0].top, 0, 0.5) << "page " << p;
        if (p + 1 < doc.pages.size()) {
            EXPECT_EQ(doc.pages[p].size(), perPage) << "page " << p;
        }
    }
    EXPECT_EQ(doc.pages.size(), (40 + perPage - 1) / perPage);
}

TEST_F(LinePrinterTest, shouldNotFeedAnEmptySheetWhenTheLastLineFillsThePage)
{
    printers.pageSize =
        QPageSize(QSizeF(120, 60), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    QStringList many;
    for (int i = 1; i <= 40; ++i)
        many << QStringLiteral("line %1").arg(i);
    const int perPage = int(print(many).pages[0].size());

    const PdfDocument doc = print(many.mid(0, perPage));
    EXPECT_EQ(doc.pages.size(), 1);
    EXPECT_EQ(doc.allText(), many.mid(0, perPage));
}

} // namespace
