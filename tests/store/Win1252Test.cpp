#include "store/Win1252.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

QByteArray allBytes()
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        bytes[b] = char(b);
    return bytes;
}

// The code page's own row 0x80-0x9F, typed out independently of the codec's table.
struct HighByte
{
    unsigned char byte;
    char16_t unit;
};
const HighByte HighBytes[] = {
    {0x80, u'€'}, {0x81, 0x0081}, {0x82, u'‚'}, {0x83, u'ƒ'},   {0x84, u'„'},   {0x85, u'…'},
    {0x86, u'†'}, {0x87, u'‡'},   {0x88, u'ˆ'}, {0x89, u'‰'},   {0x8A, u'Š'},   {0x8B, u'‹'},
    {0x8C, u'Œ'}, {0x8D, 0x008D}, {0x8E, u'Ž'}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, u'‘'},
    {0x92, u'’'}, {0x93, u'“'},   {0x94, u'”'}, {0x95, u'•'},   {0x96, u'–'},   {0x97, u'—'},
    {0x98, u'˜'}, {0x99, u'™'},   {0x9A, u'š'}, {0x9B, u'›'},   {0x9C, u'œ'},   {0x9D, 0x009D},
    {0x9E, u'ž'}, {0x9F, u'Ÿ'},
};

TEST(Win1252, everyByteSurvivesDecodeThenEncode)
{
    const QByteArray bytes = allBytes();
    const QString text = Win1252::decode(bytes);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(Win1252::encode(text), bytes);
    EXPECT_EQ(Win1252::firstUnencodable(text), -1);
    for (int b = 0; b < 256; ++b)
        EXPECT_TRUE(Win1252::canEncode(text[b])) << "byte " << b;
}

TEST(Win1252, decodesEveryByteToDistinctCharacters)
{
    const QString text = Win1252::decode(allBytes());
    QSet<char16_t> seen;
    for (const QChar c : text)
        seen.insert(c.unicode());
    EXPECT_EQ(seen.size(), 256);
}

TEST(Win1252, mapsTheHighControlRowBothWays)
{
    for (const HighByte &h : HighBytes) {
        const QByteArray byte(1, char(h.byte));
        const QString ch(QChar(h.unit));
        EXPECT_EQ(Win1252::decode(byte), ch) << "byte " << int(h.byte);
        EXPECT_EQ(Win1252::encode(ch), byte) << "byte " << int(h.byte);
    }
}

TEST(Win1252, mapsLatin1RangeUnchanged)
{
    struct Case
    {
        unsigned char byte;
        char16_t unit;
    } cases[] = {
        {0x00, 0x0000}, {0x41, u'A'}, {0x7F, 0x007F}, {0xA0, 0x00A0},
        {0xA6, u'¦'},   {0xD7, u'×'}, {0xE9, u'é'},   {0xFF, u'ÿ'},
    };
    for (const Case &c : cases) {
        const QByteArray byte(1, char(c.byte));
        EXPECT_EQ(Win1252::decode(byte), QString(QChar(c.unit))) << "byte " << int(c.byte);
        EXPECT_EQ(Win1252::encode(QString(QChar(c.unit))), byte) << "byte " << int(c.byte);
    }
}

TEST(Win1252, encodesMixedTextByteForByte)
{
    const QString text = QStringLiteral("Tâche × 5 € “ok”\r\n");
    const QByteArray expected("T\xE2"
                              "che \xD7 5 \x80 \x93ok\x94\r\n");
    EXPECT_EQ(Win1252::encode(text), expected);
    EXPECT_EQ(Win1252::decode(expected), text);
}

TEST(Win1252, keepsEmbeddedNulBytes)
{
    const QByteArray bytes("a\0b", 3);
    const QString text = Win1252::decode(bytes);
    EXPECT_EQ(text.size(), 3);
    EXPECT_EQ(Win1252::encode(text), bytes);
}

TEST(Win1252, replacesCharactersTheCodePageLacksWithQuestionMark)
{
    struct Case
    {
        const char *name;
        QString text;
        QByteArray expected;
    } cases[] = {
        {"CJK", QString(QChar(0x4E2D)), "?"},
        // 0x80 holds the euro sign, so the C1 control U+0080 has no byte.
        {"C1 control under the euro", QString(QChar(0x0080)), "?"},
        {"Latin Extended-A", QString(QChar(0x0100)), "?"},
        {"minus sign", QStringLiteral("a\u2212b"), "a?b"},
        {"astral character is one character", QStringLiteral("x\U0001F600y"), "x?y"},
        {"lone surrogate", QString(QChar(0xD800)), "?"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Win1252::encode(c.text), c.expected) << c.name;
        EXPECT_FALSE(Win1252::canEncode(c.text[c.text.size() == 1 ? 0 : 1])) << c.name;
    }
}

TEST(Win1252, findsTheFirstUnencodableCharacter)
{
    struct Case
    {
        QString text;
        int expected;
    } cases[] = {
        {QString(), -1},
        {QStringLiteral("plain text"), -1},
        {QStringLiteral("€×¦ŸŒ™"), -1},
        {QStringLiteral("ab\u4E2Dc\u4E2D"), 2},
        {QStringLiteral("\u4E2D"), 0},
        {QStringLiteral("€\U0001F600"), 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Win1252::firstUnencodable(c.text), c.expected) << c.text.toStdString();
}

} // namespace
