#include "GridFixture.h"

#include "editor/ColourComboBox.h"
#include "widgets/GlyphButton.h"
#include "widgets/Glyphs.h"
#include "widgets/TaskGridHeader.h"
#include "widgets/TextColours.h"

#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <memory>

namespace {

const QColor Selection(0xE6, 0xE6, 0xE6);
const QColor Today(0xFF, 0xFF, 0xDC);

// A pixel near the bottom-right corner of a cell, where no text reaches.
QColor backgroundOf(const QImage &image, const QRect &cell)
{
    return image.pixelColor(cell.right() - 1, cell.bottom() - 1);
}

class GridPaint : public GridTest
{
protected:
    QColor base() const { return grid.palette().color(QPalette::Base); }
};

TEST_F(GridPaint, shouldHighlightTodaysOpenTaskInYellowWithBoldTaskText)
{
    // GIVEN the same text due today and tomorrow, and a third row selected
    load({makeTask("Write the report", "15/03/2024"), makeTask("Write the report", "16/03/2024"),
          makeTask("Other", "01/01/2024")});
    grid.setCurrentRow(3);

    const QImage image = shot();

    for (int c = 0; c <= Col::Priority; ++c) {
        EXPECT_EQ(backgroundOf(image, grid.cellRect(c, 1)), Today) << "column " << c;
        EXPECT_EQ(backgroundOf(image, grid.cellRect(c, 2)), base()) << "column " << c;
    }
    const int boldInk = countPixels(image, grid.cellRect(Col::Task, 1), isDark);
    const int plainInk = countPixels(image, grid.cellRect(Col::Task, 2), isDark);
    EXPECT_GT(plainInk, 0);
    EXPECT_GT(boldInk, plainInk) << "today's task text is bold";
    // The date and hour columns are not bold: same text, same ink.
    EXPECT_EQ(countPixels(image, grid.cellRect(Col::Hour, 1), isDark),
              countPixels(image, grid.cellRect(Col::Hour, 2), isDark));
}

TEST_F(GridPaint, shouldLeaveTodaysTaskPlainOnceDoneOrWhenItsDateIsNoDateOrAnotherYears)
{
    load({makeTask("Done today", "15/03/2024", DoneMark), makeTask("Garbled", "3x/1q/20"),
          makeTask("Same day last year", "15/03/2023"), makeTask("Selected", "01/01/2024")});
    grid.setCurrentRow(4);

    const QImage image = shot();

    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(backgroundOf(image, grid.cellRect(Col::Task, row)), base()) << "row " << row;
}

TEST_F(GridPaint, shouldShadeTheSelectedRowsAndKeepTheirOwnTextColour)
{
    load({makeTask("Due today", "15/03/2024"), makeTask("Black text", "01/01/2024"),
          makeTask("Red text", "01/01/2024", {}, "9"), makeTask("Unselected", "01/01/2024")});
    grid.selectRows(1, 3);

    const QImage image = shot();

    // Today's open task shows its highlight even when selected.
    EXPECT_EQ(backgroundOf(image, grid.cellRect(Col::Task, 1)), Today);
    for (int c = 0; c <= Col::Priority; ++c) {
        EXPECT_EQ(backgroundOf(image, grid.cellRect(c, 2)), Selection) << "column " << c;
        EXPECT_EQ(backgroundOf(image, grid.cellRect(c, 3)), Selection) << "column " << c;
    }
    EXPECT_EQ(backgroundOf(image, grid.cellRect(Col::Task, 4)), base());
    // Text in the row's colour, not the highlight text colour.
    const QRect black = grid.cellRect(Col::Task, 2);
    EXPECT_GT(countPixels(image, black, isDark), 0);
    EXPECT_EQ(countPixels(image, black, [](QColor c) { return c == Qt::white; }), 0);
    EXPECT_GT(countPixels(image, grid.cellRect(Col::Task, 3), isReddish), 0);
}

TEST_F(GridPaint, shouldDrawTaskTextInItsTextColour)
{
    load({makeTask("Red text", "01/01/2024", {}, "9"),
          makeTask("Blue text", "01/01/2024", {}, "12"),
          makeTask("Default text", "01/01/2024", {}, "18"),
          makeTask("Bad colour", "01/01/2024", {}, "purple"),
          makeTask("Out of range", "01/01/2024", {}, "19"), makeTask("Selected", "01/01/2024")});
    grid.setCurrentRow(6);

    const QImage image = shot();

    const auto isBluish = [](QColor c) {
        return c.blue() >= 200 && c.red() <= 90 && c.green() <= 90;
    };
    EXPECT_GT(countPixels(image, grid.cellRect(Col::Task, 1), isReddish), 0);
    EXPECT_GT(countPixels(image, grid.cellRect(Col::Date, 1), isReddish), 0);
    EXPECT_GT(countPixels(image, grid.cellRect(Col::Task, 2), isBluish), 0);
    EXPECT_EQ(countPixels(image, grid.cellRect(Col::Task, 2), isReddish), 0);
    for (int r = 3; r <= 5; ++r) {
        const QRect cell = grid.cellRect(Col::Task, r);
        EXPECT_GT(countPixels(image, cell, isDark), 0) << "row " << r;
        EXPECT_EQ(countPixels(image, cell, isReddish), 0) << "row " << r;
        EXPECT_EQ(countPixels(image, cell, isBluish), 0) << "row " << r;
    }
}

TEST_F(GridPaint, shouldDrawTheDoneMarkInRedOnTheRowBackground)
{
    load({makeTask("Finished", "01/01/2024", DoneMark), makeTask("Open", "01/01/2024", " "),
          makeTask("Finished too", "01/01/2024", DoneMark), makeTask("Today", "15/03/2024")});
    grid.setCurrentRow(3);

    const QImage image = shot();

    EXPECT_GT(countPixels(image, grid.cellRect(Col::Done, 1), isReddish), 3);
    EXPECT_EQ(countPixels(image, grid.cellRect(Col::Done, 2), isReddish), 0);
    EXPECT_EQ(backgroundOf(image, grid.cellRect(Col::Done, 2)), base());
    EXPECT_GT(countPixels(image, grid.cellRect(Col::Done, 3), isReddish), 3);
    EXPECT_EQ(backgroundOf(image, grid.cellRect(Col::Done, 3)), Selection);
    EXPECT_EQ(backgroundOf(image, grid.cellRect(Col::Done, 4)), Today);
}

TEST_F(GridPaint, shouldPaintNothingSpecialOnAnEmptyTable)
{
    load({});
    grid.setCurrentRow(1);
    grid.clearSelection();
    QImage image = shot();
    for (int c = 0; c <= Col::Priority; ++c) {
        const QRect cell = grid.cellRect(c, 1);
        EXPECT_EQ(backgroundOf(image, cell), base()) << "column " << c;
        EXPECT_EQ(countPixels(image, cell, [](QColor p) { return p == Today; }), 0);
        EXPECT_EQ(countPixels(image, cell, isReddish), 0) << "column " << c;
    }

    // A task whose text is blank is a task all the same: its done mark is drawn.
    load({makeTask("  ", "15/03/2024", DoneMark, "9")});
    grid.setCurrentRow(1);
    grid.clearSelection();
    image = shot();
    EXPECT_GT(countPixels(image, grid.cellRect(Col::Done, 1), isReddish), 0);
    EXPECT_EQ(grid.model()->index(0, Col::Task).data().toString(), "(no task text)");
}

QPalette fusionPalette()
{
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

// Fusion's colours set dark, as a dark desktop theme sets them.
QPalette darkPalette()
{
    QPalette p = fusionPalette();
    const QColor window(0x35, 0x35, 0x35), text(0xF0, 0xF0, 0xF0);
    for (const auto role : {QPalette::Window, QPalette::Button, QPalette::AlternateBase})
        p.setColor(role, window);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, text);
    p.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    p.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    p.setColor(QPalette::HighlightedText, Qt::black);
    return p;
}

// The pixel of a cell (its border left out) that stands out most from the cell's
// background: a fully covered pixel of the text.
QColor inkOf(const QImage &image, const QRect &cell)
{
    const QColor background = backgroundOf(image, cell);
    QColor ink = background;
    const QRect inner = cell.adjusted(1, 1, -1, -1);
    for (int y = inner.top(); y <= inner.bottom(); ++y)
        for (int x = inner.left(); x <= inner.right(); ++x)
            if (contrastRatio(image.pixelColor(x, y), background) > contrastRatio(ink, background))
                ink = image.pixelColor(x, y);
    return ink;
}

// Every text colour on every row background, painted under a light and a dark
// palette: the light one keeps the designed colours to the pixel; under the dark
// one every text and the done mark stand at least 4.5:1 against what they are
// drawn on (ordinary text), the header's arrow and the calendar button's glyph
// stand out, and the editor's swatches keep their colours apart.
TEST_F(GridPaint, shouldKeepTheDesignedColoursWhenLightAndEveryTextReadableWhenDark)
{
    enum Rows { Plain, Selected, DueToday };
    struct Case
    {
        const char *name;
        bool dark;
        Rows rows;
        QColor lightBackground; // under the light palette
    };
    const QPalette light = fusionPalette();
    const QPalette before = QApplication::palette();
    const Case cases[] = {
        {"light, plain rows", false, Plain, light.color(QPalette::Base)},
        {"light, selected rows", false, Selected, Selection},
        {"light, today's rows", false, DueToday, Today},
        {"dark, plain rows", true, Plain, {}},
        {"dark, selected rows", true, Selected, {}},
        {"dark, today's rows", true, DueToday, {}},
    };
    grid.resize(420, 560);
    QFont big = grid.font();
    big.setPixelSize(15);
    grid.setFont(big);
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        const QPalette palette = k.dark ? darkPalette() : light;
        QApplication::setPalette(palette);
        grid.setPalette(palette);
        std::vector<TaskRow> rows;
        for (int colour = 0; colour < TextColourCount; ++colour)
            rows.push_back(makeTask(
                QStringLiteral("HTML EFT"), k.rows == DueToday ? "15/03/2024" : "01/01/2024",
                k.rows == DueToday ? QString() : QString(DoneMark), QString::number(colour)));
        load(rows);
        grid.setSortColumn(6);
        grid.setTag(0);
        if (k.rows == Selected)
            grid.selectRows(1, TextColourCount);
        else
            grid.clearSelection();
        const QImage image = shot();

        for (int r = 1; r <= TextColourCount; ++r) {
            const QRect cell = grid.cellRect(Col::Task, r);
            ASSERT_LT(cell.bottom(), image.height()) << "row " << r << " is not on screen";
            const QColor background = backgroundOf(image, cell);
            const QColor ink = inkOf(image, cell);
            const QColor designed = textColour(r - 1);
            if (!k.dark) {
                EXPECT_EQ(background, k.lightBackground) << "row " << r;
                if (designed != background) {
                    EXPECT_GT(countPixels(image, cell, [&](QColor c) { return c == designed; }), 0)
                        << "row " << r << " has no pixel of " << designed.name().toStdString();
                }
                continue;
            }
            EXPECT_GE(contrastRatio(background, palette.color(QPalette::Text)), 3.0)
                << "row " << r << " background " << background.name().toStdString();
            EXPECT_GE(contrastRatio(ink, background), ReadableContrast)
                << "row " << r << " text " << ink.name().toStdString() << " on "
                << background.name().toStdString();
            if (k.rows != DueToday) {
                const QRect mark = grid.cellRect(Col::Done, r);
                EXPECT_GE(contrastRatio(inkOf(image, mark), backgroundOf(image, mark)),
                          ReadableContrast)
                    << "done mark, row " << r;
            }
        }
        if (!k.dark)
            continue;

        // The sort arrow over the date header: every pixel of it that is not the
        // header's own colour.
        const QRect header = grid.cellRect(Col::Date, 0);
        const QColor button = palette.color(QPalette::Button);
        int arrowPixels = 0;
        for (int y = header.top() + 1; y < header.top() + 13; ++y) {
            for (int x = header.left() + 2; x < header.left() + 15; ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel == button)
                    continue;
                ++arrowPixels;
                EXPECT_GE(contrastRatio(pixel, button), 3.0) << "arrow at " << x << "," << y;
            }
        }
        EXPECT_GT(arrowPixels, 10);

        // The editor's colour list shows each colour itself (black is not gray),
        // inside an outline that stands out from the list.
        for (int colour = 0; colour < DefaultTextColour; ++colour) {
            QImage item(40, 14, QImage::Format_RGB32);
            item.fill(palette.color(QPalette::Base));
            QPainter painter(&item);
            ColourComboBox::ComboBox3DrawItem(painter, item.rect(), colour, palette);
            painter.end();
            EXPECT_EQ(item.pixelColor(20, 7), textColour(colour)) << "swatch " << colour;
            EXPECT_GE(contrastRatio(item.pixelColor(20, 1), palette.color(QPalette::Base)), 3.0)
                << "swatch " << colour;
        }

        // The calendar button's glyph, at the editor's size: lines as readable as text.
        GlyphButton calendar;
        calendar.setAutoRaise(true);
        calendar.setIcon(glyph(QStringLiteral("calendar")));
        calendar.setIconSize(QSize(12, 12));
        calendar.setFixedSize(14, 20);
        const QImage glyphShot = calendar.grab().toImage();
        const QColor face = glyphShot.pixelColor(0, 0);
        int strong = 0;
        for (int y = 0; y < glyphShot.height(); ++y)
            for (int x = 0; x < glyphShot.width(); ++x)
                strong += contrastRatio(glyphShot.pixelColor(x, y), face) >= ReadableContrast;
        EXPECT_GE(strong, 24) << "calendar glyph on " << face.name().toStdString();
    }
    QApplication::setPalette(before);
}

// Whether the arrow picture stands with its top-left corner at the given point:
// every opaque pixel inside the cell (its border left out) matches.
bool arrowAt(const QImage &image, const QImage &arrow, const QRect &cell, int left)
{
    int compared = 0;
    for (int y = 0; y < arrow.height(); ++y) {
        for (int x = 0; x < arrow.width(); ++x) {
            const QPoint at(left + x, cell.top() + y);
            if (qAlpha(arrow.pixel(x, y)) != 255 || !cell.adjusted(1, 1, -1, -1).contains(at))
                continue;
            ++compared;
            if (image.pixelColor(at).rgb() != QColor(arrow.pixel(x, y)).rgb())
                return false;
        }
    }
    return compared > 10;
}

TEST_F(GridPaint, shouldDrawTheSortArrowOverTheSortedColumnsHeader)
{
    load({makeTask("A task", "01/01/2024")});
    const int taskArrow = grid.colWidth(Col::Task) / 3 + 2;
    struct Case
    {
        int sortColumn;
        int headerColumn;
        int arrowOffset;
    };
    const Case cases[] = {{0, 0, 0}, {1, 1, taskArrow}, {6, 2, 2}, {3, 3, 2}, {4, 4, 1}};
    for (const Case &k : cases) {
        grid.setSortColumn(k.sortColumn);
        for (int tag : {0, 1, 2}) {
            grid.setTag(tag);
            const QImage image = shot();
            const QRect cell = grid.cellRect(k.headerColumn, 0);
            const int left = cell.left() + k.arrowOffset;
            EXPECT_EQ(arrowAt(image, Image_down(), cell, left), tag == 0)
                << "sortColumn " << k.sortColumn << " tag " << tag;
            EXPECT_EQ(arrowAt(image, Image_up(), cell, left), tag == 1)
                << "sortColumn " << k.sortColumn << " tag " << tag;
            // No other header shows an arrow anywhere along its top.
            for (int c = 0; c <= Col::Priority; ++c) {
                if (c == k.headerColumn)
                    continue;
                const QRect other = grid.cellRect(c, 0);
                for (int x = other.left(); x < other.right(); ++x)
                    EXPECT_FALSE(arrowAt(image, Image_down(), other, x) ||
                                 arrowAt(image, Image_up(), other, x))
                        << "column " << c << " sortColumn " << k.sortColumn;
            }
        }
    }
}

TEST_F(GridPaint, shouldShowNoArrowWhenSortedByCategory)
{
    load({makeTask("A task", "01/01/2024")});
    grid.setSortColumn(Col::Category);
    for (int tag : {0, 1}) {
        grid.setTag(tag);
        const QImage image = shot();
        for (int c = 0; c <= Col::Priority; ++c) {
            const QRect cell = grid.cellRect(c, 0);
            for (int x = cell.left(); x < cell.right(); ++x)
                EXPECT_FALSE(arrowAt(image, Image_down(), cell, x) ||
                             arrowAt(image, Image_up(), cell, x))
                    << "column " << c;
        }
    }
}

TEST_F(GridPaint, shouldDrawTheHeaderCaptionsAndTheArrowAlsoOnAnEmptyTable)
{
    grid.setSortColumn(Col::SortKey);
    grid.setTag(1);
    const QImage image = shot();
    const QRect date = grid.cellRect(Col::Date, 0);
    EXPECT_TRUE(arrowAt(image, Image_up(), date, date.left() + 2));
    EXPECT_GT(countPixels(image, grid.cellRect(Col::Task, 0), isDark), 0);
}

TEST(SortArrows, areEtchedTrianglesOnATransparentBackground)
{
    for (const QImage *arrow : {&Image_up(), &Image_down()}) {
        EXPECT_EQ(arrow->size(), QSize(13, 13));
        EXPECT_EQ(qAlpha(arrow->pixel(0, 0)), 0);
        int shadow = 0, light = 0;
        for (int y = 0; y < 13; ++y) {
            for (int x = 0; x < 13; ++x) {
                const QRgb p = arrow->pixel(x, y);
                shadow += p == qRgb(0x7F, 0x7F, 0x7F) ? 1 : 0;
                light += p == qRgb(0xFF, 0xFF, 0xFF) ? 1 : 0;
            }
        }
        EXPECT_GT(shadow, 5);
        EXPECT_GT(light, 5);
    }
    // The up arrow's lit edge runs along its bottom, the down arrow's shadow along its top.
    EXPECT_EQ(Image_up().pixel(6, 11), qRgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(Image_down().pixel(6, 2), qRgb(0x7F, 0x7F, 0x7F));
}

TEST(TextColourTable, shouldMapIndicesAndFallBackToThePaletteText)
{
    const QColor paletteText = QGuiApplication::palette().color(QPalette::Text);
    EXPECT_EQ(textColour(0), QColor(0, 0, 0));
    EXPECT_EQ(textColour(1), QColor(0x80, 0, 0));
    EXPECT_EQ(textColour(9), QColor(0xFF, 0, 0));
    EXPECT_EQ(textColour(15), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(textColour(17), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(textColour(18), paletteText);
    EXPECT_EQ(textColour(-1), paletteText);
    EXPECT_EQ(textColourFor("12"), QColor(0, 0, 0xFF));
    EXPECT_EQ(textColourFor("19"), paletteText);
    EXPECT_EQ(textColourFor("red"), paletteText);
    EXPECT_EQ(textColourFor(""), paletteText);
}

} // namespace
