#include "store/DateFormat.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

std::string str(const QString &s)
{
    return s.toStdString();
}

std::string str(const std::optional<QDate> &d)
{
    return d ? d->toString(Qt::ISODate).toStdString() : std::string("(none)");
}

std::string str(const std::optional<QTime> &t)
{
    return t && t->isValid() ? t->toString("HH:mm:ss").toStdString() : std::string("(none)");
}

std::string str(const std::optional<QDateTime> &dt)
{
    return dt && dt->isValid() ? dt->toString("yyyy-MM-dd HH:mm:ss").toStdString()
                               : std::string("(none)");
}

const QDate Today2026(2026, 6, 15);

TEST(DateFormatFormatting, writesEachPatternLetter)
{
    const QDateTime morning(QDate(2009, 3, 1), QTime(9, 30, 5));
    const QDateTime evening(QDate(2009, 12, 25), QTime(21, 30, 0));
    const QString march = QLocale().monthName(3, QLocale::ShortFormat);
    struct Case
    {
        QString pattern;
        QDateTime at;
        QString expected;
    } cases[] = {
        {"yyyy-MM-dd HH:mm", morning, "2009-03-01 09:30"},
        {"yyyy-MM-dd HH:mm", evening, "2009-12-25 21:30"},
        {"hh:nn", morning, "09:30"},
        {"hh:nn", evening, "21:30"},
        {"h:n:s", morning, "9:30:5"},
        {"hh:nn:ss", morning, "09:30:05"},
        // "m" after an hour is the minute, after a date letter the month.
        {"hh:mm", morning, "09:30"},
        {"dd/mm/yyyy", morning, "01/03/2009"},
        {"hh:mm dd/mm", morning, "09:30 01/03"},
        {"mm:ss", morning, "30:05"},
        {"d/M/yy", morning, "1/3/09"},
        {"d/M/yy", evening, "25/12/09"},
        {"y", morning, "09"},
        {"dd-MMM-yyyy", morning, "01-" + march + "-2009"},
        {"[dd] at hh", morning, "[01] at 09"},
        {"", morning, ""},
    };
    const DateFormat format("dd/MM/yyyy", ':');
    for (const Case &c : cases)
        EXPECT_EQ(str(format.formatDateTime(c.at, c.pattern)), str(c.expected)) << str(c.pattern);
}

TEST(DateFormatFormatting, slashAndColonStandForTheSeparators)
{
    const DateFormat dotted("dd.MM.yyyy", '.');
    ASSERT_EQ(dotted.dateSeparator(), QChar('.'));
    const QDateTime at(QDate(2009, 3, 1), QTime(9, 30));
    EXPECT_EQ(str(dotted.formatDateTime(at, "yyyy-MM-dd HH:mm")), "2009-03-01 09.30");
    EXPECT_EQ(str(dotted.formatDate(at.date(), "dd/mm/yyyy")), "01.03.2009");
    EXPECT_EQ(str(dotted.formatTime(at.time(), "hh:nn")), "09.30");
    EXPECT_EQ(str(dotted.shortDate(at.date())), "01.03.2009");
}

TEST(DateFormatFormatting, formatsOnlyWhatItIsGiven)
{
    const DateFormat format;
    EXPECT_EQ(str(format.formatDate(QDate(2009, 3, 1), "dd/MM/yyyy hh:nn")), "01/03/2009 00:00");
    EXPECT_EQ(str(format.formatTime(QTime(21, 30), "hh:nn")), "21:30");
    EXPECT_TRUE(format.formatDate(QDate(), "dd/MM/yyyy").isEmpty());
    EXPECT_TRUE(format.formatTime(QTime(), "hh:nn").isEmpty());
}

TEST(DateFormatLocale, translatesTheShortFormatAndSeparators)
{
    struct Case
    {
        QLocale locale;
        QString format;
        QChar dateSeparator;
        QChar timeSeparator;
    } cases[] = {
        {QLocale::c(), "d MMM yyyy", ' ', ':'},
        {QLocale("en_US"), "M/d/yy", '/', ':'},
        {QLocale("en_GB"), "dd/MM/yyyy", '/', ':'},
        {QLocale("pt_PT"), "dd/MM/yy", '/', ':'},
    };
    for (const Case &c : cases) {
        const DateFormat format = DateFormat::fromLocale(c.locale);
        EXPECT_EQ(str(format.shortFormat()), str(c.format)) << str(c.locale.name());
        EXPECT_EQ(format.dateSeparator(), c.dateSeparator) << str(c.locale.name());
        EXPECT_EQ(format.timeSeparator(), c.timeSeparator) << str(c.locale.name());
    }
}

TEST(DateFormatLocale, readsBackEveryDateItWritesInManyLocales)
{
    // Quoted literals, dotted and blank separators, year first, bidi marks.
    const char *names[] = {"C",     "en_US", "en_GB", "pt_PT", "de_DE", "fi_FI", "fr_CA",
                           "bg_BG", "hu_HU", "ko_KR", "ja_JP", "nl_NL", "ar_EG"};
    for (const char *name : names) {
        DateFormat format =
            DateFormat::fromLocale(QString(name) == "C" ? QLocale::c() : QLocale(name));
        EXPECT_FALSE(format.shortFormat().contains('\'')) << name;
        for (int pass = 0; pass < 2; ++pass) {
            for (QDate d(2025, 1, 1); d.year() < 2027; d = d.addDays(1)) {
                const QString text = format.shortDate(d);
                ASSERT_EQ(str(format.parseDate(text, Today2026)), str(d))
                    << name << " " << str(format.shortFormat()) << " '" << str(text) << "'";
            }
            format.normaliseShortFormat(); // the editor's form must read back too
        }
    }
}

struct ParseCase
{
    QString text;
    std::optional<QDate> expected;
};

void expectParses(const DateFormat &format, const QDate &today,
                  std::initializer_list<ParseCase> cases)
{
    for (const ParseCase &c : cases)
        EXPECT_EQ(str(format.parseDate(c.text, today)), str(c.expected))
            << str(format.shortFormat()) << " '" << str(c.text) << "'";
}

TEST(DateFormatParsing, readsDayMonthYearInTheFormatsOrder)
{
    const QDate may1(2026, 5, 1);
    expectParses(DateFormat("dd/MM/yyyy"), Today2026,
                 {
                     {"01/05/2026", may1},
                     {"1/5/26", may1},
                     {"1/5/2026", may1},
                     {"1-5-2026", may1},
                     {" 1 / 5 / 2026 ", may1},
                     {"1/May/2026", may1},
                     {"29/02/2028", QDate(2028, 2, 29)},
                     {"31/12/2026", QDate(2026, 12, 31)},
                 });
    expectParses(DateFormat("M/d/yy"), Today2026,
                 {
                     {"5/1/26", may1},
                     {"05/01/2026", may1},
                     {"12/31/99", QDate(1999, 12, 31)},
                     {"1/5/26", QDate(2026, 1, 5)},
                 });
    expectParses(DateFormat("yyyy-MM-dd"), Today2026,
                 {
                     {"2026-05-01", may1},
                     {"26-5-1", may1},
                 });
    expectParses(
        DateFormat("d MMM yyyy"), Today2026,
        {
            {"1 May 2026", may1},
            {"1 may 2026", may1},
            {"01 05 2026", may1},
            {"3 Sep 2026", QDate(2026, 9, 3)},
            {"3 September 2026", QDate(2026, 9, 3)},
            {"3 " + QLocale().monthName(9, QLocale::ShortFormat) + " 2026", QDate(2026, 9, 3)},
        });
}

TEST(DateFormatParsing, takesThisYearWhenTheYearIsLeftOut)
{
    const QDate may1(2026, 5, 1);
    expectParses(DateFormat("dd/MM/yyyy"), Today2026,
                 {{"1/5", may1}, {"01/05/", may1}, {"01/05/____", may1}});
    expectParses(DateFormat("M/d/yy"), Today2026, {{"5/1", may1}});
    expectParses(DateFormat("yyyy-MM-dd"), Today2026, {{"05-01", may1}});
    expectParses(DateFormat("dd/MM/yyyy"), QDate(2031, 1, 1), {{"1/5", QDate(2031, 5, 1)}});
}

TEST(DateFormatParsing, putsTwoDigitYearsWithinFiftyYearsOfToday)
{
    const DateFormat format("dd/MM/yy");
    expectParses(format, Today2026,
                 {
                     {"1/1/26", QDate(2026, 1, 1)},
                     {"1/1/76", QDate(1976, 1, 1)},
                     {"1/1/75", QDate(2075, 1, 1)},
                     {"1/1/99", QDate(1999, 1, 1)},
                     {"1/1/00", QDate(2000, 1, 1)},
                     {"1/1/5", QDate(2005, 1, 1)},
                 });
    expectParses(format, QDate(2070, 7, 1),
                 {
                     {"1/1/20", QDate(2020, 1, 1)},
                     {"1/1/19", QDate(2119, 1, 1)},
                     {"1/1/99", QDate(2099, 1, 1)},
                 });
}

TEST(DateFormatParsing, ignoresEmptyMaskPositions)
{
    const QDate may1(2026, 5, 1);
    expectParses(DateFormat("dd/MM/yyyy"), Today2026,
                 {
                     {"1_/5_/26__", may1},
                     {"_1/_5/2026", may1},
                     {"__/__/____", std::nullopt},
                     {"01/__/2026", std::nullopt},
                     {"__/05/2026", std::nullopt},
                 });
}

TEST(DateFormatParsing, rejectsWhatIsNoDate)
{
    const std::nullopt_t none = std::nullopt;
    expectParses(DateFormat("dd/MM/yyyy"), Today2026,
                 {
                     {"", none},           {"   ", none},        {"31/02/2026", none},
                     {"29/02/2027", none}, {"0/5/2026", none},   {"1/0/2026", none},
                     {"1/13/2026", none},  {"32/1/2026", none},  {"123/5/2026", none},
                     {"1/005/2026", none}, {"1/5/026", none},    {"1/5/20266", none},
                     {"1/5/2026/7", none}, {"/05/2026", none},   {"1//5/2026", none},
                     {"1", none},          {"abc", none},        {"May/1/2026", none},
                     {"1/Foo/2026", none}, {"1/5/twenty", none}, {"0000/5/1", none},
                 });
    expectParses(DateFormat("M/d/yy"), Today2026, {{"13/1/26", none}, {"2/30/26", none}});
    expectParses(DateFormat("yyyy-MM-dd"), Today2026, {{"2026-13-01", none}});
}

TEST(DateFormatParsing, splitsBareDigitsOnlyWhenTheFormatFixesEveryWidth)
{
    expectParses(DateFormat("dd/MM/yyyy"), Today2026,
                 {
                     {"01052026", QDate(2026, 5, 1)},
                     {"010526", std::nullopt},
                     {"0105202", std::nullopt},
                 });
    expectParses(DateFormat("yyyy-MM-dd"), Today2026, {{"20260501", QDate(2026, 5, 1)}});
    expectParses(DateFormat("dd.MM.yy"), Today2026, {{"010526", QDate(2026, 5, 1)}});
    expectParses(DateFormat("d/M/yyyy"), Today2026, {{"152026", std::nullopt}});
}

TEST(DateFormatParsing, readsTimesWithEitherSeparator)
{
    const DateFormat colon("dd/MM/yyyy", ':');
    const DateFormat dot("dd.MM.yyyy", '.');
    struct Case
    {
        const DateFormat &format;
        QString text;
        QTime expected; // invalid: no time
    } cases[] = {
        {colon, "09:30", QTime(9, 30)},
        {colon, "9:30", QTime(9, 30)},
        {colon, " 21:30 ", QTime(21, 30)},
        {colon, "21:30:15", QTime(21, 30, 15)},
        {colon, "00:00", QTime(0, 0)},
        {colon, "23:59", QTime(23, 59)},
        {dot, "09.30", QTime(9, 30)},
        {dot, "00:00", QTime(0, 0)},
        {colon, "09.30", QTime()},
        {colon, "24:00", QTime()},
        {colon, "12:60", QTime()},
        {colon, "12:30:60", QTime()},
        {colon, "12", QTime()},
        {colon, "12:", QTime()},
        {colon, ":30", QTime()},
        {colon, "123:00", QTime()},
        {colon, "12:30:00:00", QTime()},
        {colon, "ab:cd", QTime()},
        {colon, "", QTime()},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(str(c.format.parseTime(c.text)), str(std::optional<QTime>(c.expected)))
            << str(c.text);
    }
}

TEST(DateFormatParsing, readsDateAndHourJoinedByABlank)
{
    struct Case
    {
        DateFormat format;
        QString text;
        QDateTime expected; // invalid: no date-time
    } cases[] = {
        {DateFormat("dd/MM/yyyy"), "01/05/2026 09:30", QDateTime({2026, 5, 1}, {9, 30})},
        {DateFormat("dd/MM/yyyy"), "1/5/26 21:30", QDateTime({2026, 5, 1}, {21, 30})},
        {DateFormat("dd/MM/yyyy"), "01/05/2026  09:30:15", QDateTime({2026, 5, 1}, {9, 30, 15})},
        // A blank date separator leaves the hour after the last blank.
        {DateFormat("dd MM yyyy"), "01 05 2026 09:30", QDateTime({2026, 5, 1}, {9, 30})},
        {DateFormat("dd.MM.yyyy", '.'), "01.05.2026 09.30", QDateTime({2026, 5, 1}, {9, 30})},
        {DateFormat("dd/MM/yyyy"), "01/05/2026", QDateTime()},
        {DateFormat("dd/MM/yyyy"), "01/05/2026 25:00", QDateTime()},
        {DateFormat("dd/MM/yyyy"), "31/02/2026 09:30", QDateTime()},
        {DateFormat("dd/MM/yyyy"), "09:30", QDateTime()},
        {DateFormat("dd/MM/yyyy"), "", QDateTime()},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(str(c.format.parseDateTime(c.text, Today2026)),
                  str(std::optional<QDateTime>(c.expected)))
            << str(c.text);
    }
}

TEST(DateFormatParsing, buildsTheSortKeyFromDateAndHour)
{
    const DateFormat format("M/d/yy", '.');
    const QString cell =
        format.shortDate(QDate(2009, 3, 1)) + ' ' + format.formatTime(QTime(9, 30), "hh:nn");
    ASSERT_EQ(str(cell), "3/1/09 09.30");
    const auto at = format.parseDateTime(cell, Today2026);
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(str(format.formatDateTime(*at, "yyyy-MM-dd HH:mm")), "2009-03-01 09.30");
}

TEST(DateFormatNormalise, leavesTwoMonthAndTwoDayLetters)
{
    struct Case
    {
        QString format;
        QString expected;
    } cases[] = {
        {"M/d/yyyy", "MM/dd/yyyy"},
        {"d/M/yyyy", "dd/MM/yyyy"},
        {"dd-MMM-yyyy", "dd-MM-yyyy"},
        {"d MMM yyyy", "dd MM yyyy"},
        {"MMMM d, yyyy", "MM dd, yyyy"},
        {"yyyy-MM-dd", "yyyy-MM-dd"},
        {"dd/MM/yy", "dd/MM/yy"},
        {"yy. M. d.", "yy. MM. dd."},
        // No letter at all: one goes to the very front, nothing more.
        {"yyyy", "dMyyyy"},
        {"dd/yyyy", "Mdd/yyyy"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(DateFormat::normalise(c.format)), str(c.expected)) << str(c.format);
}

TEST(DateFormatNormalise, rewritesTheShortFormatInForce)
{
    DateFormat format = DateFormat::fromLocale(QLocale("en_US"));
    format.normaliseShortFormat();
    EXPECT_EQ(str(format.shortFormat()), "MM/dd/yy");
    EXPECT_EQ(str(format.shortDate(QDate(2026, 5, 1))), "05/01/26");

    format.setShortFormat("d MMM yyyy");
    EXPECT_EQ(format.dateSeparator(), QChar(' '));
    format.normaliseShortFormat();
    EXPECT_EQ(str(format.shortDate(QDate(2026, 5, 1))), "01 05 2026");
}

TEST(DateFormatMask, cutsTheFormatAtItsSeparators)
{
    struct Case
    {
        QString format;
        QString mask;
        QString emptyText;
    } cases[] = {
        {"dd/MM/yyyy", "00/00/0000;_", "__/__/____"},
        {"yyyy-MM-dd", "0000-00-00;_", "____-__-__"},
        {"MM/dd/yy", "00/00/00;_", "__/__/__"},
        {"dd MM yyyy", "00 00 0000;_", "__ __ ____"},
        {"dd.MM.yyyy.", "00.00.00000;_", "__.__._____"},
        {"MM/yyyy", "00/0000;_", "__/____"},
        {"ddMMyyyy", "00000000;_", "________"},
        // Separators the mask language would read as commands are escaped.
        {"ddxMMxyyyy", "00\\x00\\x0000;_", "__x__x____"},
        {"dd#MM#yyyy", "00\\#00\\#0000;_", "__#__#____"},
    };
    for (const Case &c : cases) {
        const DateFormat format(c.format);
        EXPECT_EQ(str(format.inputMask()), str(c.mask)) << str(c.format);
        QLineEdit edit;
        edit.setInputMask(format.inputMask());
        EXPECT_EQ(str(edit.displayText()), str(c.emptyText)) << str(c.format);
    }
}

TEST(DateFormatMask, acceptsPartlyTypedDatesAndParsesThem)
{
    const DateFormat format("dd/MM/yyyy");
    QLineEdit edit;
    edit.setInputMask(format.inputMask());
    edit.setText("1_/5_/26__");
    EXPECT_TRUE(edit.hasAcceptableInput()) << str(edit.displayText());
    EXPECT_EQ(str(format.parseDate(edit.text(), Today2026)), "2026-05-01") << str(edit.text());

    edit.setText("0105");
    EXPECT_TRUE(edit.hasAcceptableInput()) << str(edit.displayText());
    EXPECT_EQ(str(format.parseDate(edit.text(), Today2026)), "2026-05-01") << str(edit.text());
    EXPECT_EQ(str(format.parseDate(edit.displayText(), Today2026)), "2026-05-01")
        << str(edit.displayText());
}

} // namespace
