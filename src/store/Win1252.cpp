#include "Win1252.h"

namespace {

// 0x80-0x9F; the five bytes the code page leaves undefined keep their C1 value,
// as Windows does, so every byte survives a decode/encode round trip.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

struct DecodeTable
{
    char16_t units[256];
    constexpr DecodeTable() : units()
    {
        for (int b = 0; b < 256; ++b)
            units[b] = char16_t(b);
        for (int b = 0; b < 32; ++b)
            units[0x80 + b] = HighControls[b];
    }
};
constexpr DecodeTable Decode;

constexpr char Unencodable = '?';

// The byte for a character, or 0 when the code page has none (U+0000 is handled
// by the callers, since it is the only character that maps to byte 0). Text is
// nearly all ASCII or Latin-1; the 32-entry scan only runs for the rest.
inline char encodeUnit(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    for (int k = 0; k < 32; ++k) {
        if (HighControls[k] == u)
            return char(0x80 + k);
    }
    return 0;
}

} // namespace

namespace Win1252 {

QString decode(const QByteArray &bytes)
{
    const qsizetype n = bytes.size();
    QString text(n, Qt::Uninitialized);
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    QChar *out = text.data();
    for (qsizetype i = 0; i < n; ++i)
        out[i] = QChar(Decode.units[in[i]]);
    return text;
}

QByteArray encode(const QString &text)
{
    const qsizetype n = text.size();
    QByteArray bytes(n, Qt::Uninitialized);
    const QChar *in = text.constData();
    char *out = bytes.data();
    qsizetype k = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = in[i].unicode();
        if (u == 0) {
            out[k++] = 0;
            continue;
        }
        const char b = encodeUnit(u);
        if (b != 0) {
            out[k++] = b;
            continue;
        }
        // A character outside the basic plane is one character to the user: one '?'.
        if (QChar::isHighSurrogate(u) && i + 1 < n && in[i + 1].isLowSurrogate())
            ++i;
        out[k++] = Unencodable;
    }
    bytes.truncate(k);
    return bytes;
}

bool canEncode(QChar c)
{
    return c.unicode() == 0 || encodeUnit(c.unicode()) != 0;
}

int firstUnencodable(const QString &text)
{
    const qsizetype n = text.size();
    const QChar *in = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (!canEncode(in[i]))
            return int(i);
    }
    return -1;
}

} // namespace Win1252
