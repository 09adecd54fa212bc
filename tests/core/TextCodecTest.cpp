#include "core/TextCodec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

using namespace std::string_view_literals;

namespace {

QByteArray bytes(std::string_view s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

TEST(TextCodec, DecodesUtf8AndFallsBackToWindows1252)
{
    struct Case {
        const char* name;
        std::string_view in;
        std::u16string_view out;
    };
    const Case cases[] = {
        {"empty", ""sv, u""sv},
        {"plain ASCII", "Load Bank 3"sv, u"Load Bank 3"sv},
        {"ASCII with NUL and control bytes", "a\0b\r\n\t"sv, u"a\0b\r\n\t"sv},
        {"valid UTF-8", "caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D \xF0\x9F\x8E\xB9"sv,
         u"caf\u00E9 \u201Cq\u201D \U0001F3B9"sv},
        {"UTF-8 byte order mark dropped", "\xEF\xBB\xBF" "caf\xC3\xA9"sv, u"caf\u00E9"sv},
        {"only a byte order mark", "\xEF\xBB\xBF"sv, u""sv},
        {"byte order mark in the middle kept", "a\xEF\xBB\xBF"sv, u"a\uFEFF"sv},
        {"Windows-1252 quotes and accent", "\x93Hi\x94 caf\xE9"sv, u"\u201CHi\u201D caf\u00E9"sv},
        {"Windows-1252 after a byte order mark", "\xEF\xBB\xBF\x93x"sv, u"\u201Cx"sv},
        {"Windows-1252 specials", "\x80\x85\x8A\x92\x96\x97\x99\x9F"sv,
         u"\u20AC\u2026\u0160\u2019\u2013\u2014\u2122\u0178"sv},
        {"undefined Windows-1252 bytes keep their value", "\x81\x8D\x8F\x90\x9D"sv,
         u"\u0081\u008D\u008F\u0090\u009D"sv},
        {"one bad byte makes the whole text Windows-1252", "\xC3\xA9\xE9"sv, u"\u00C3\u00A9\u00E9"sv},
        {"sequence cut off at the end", "caf\xC3"sv, u"caf\u00C3"sv},
        {"overlong encoding", "\xC0\xAF"sv, u"\u00C0\u00AF"sv},
        {"encoded surrogate", "\xED\xA0\x80"sv, u"\u00ED\u00A0\u20AC"sv},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(orvell::decodeText(bytes(c.in)),
                  QString::fromUtf16(c.out.data(), static_cast<qsizetype>(c.out.size())));
    }
}

TEST(TextCodec, EveryHighByteAloneIsOneWindows1252Character)
{
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const QString s = orvell::decodeText(QByteArray(1, static_cast<char>(b)));
        ASSERT_EQ(s.size(), 1);
        if (b >= 0xA0)
            EXPECT_EQ(s.at(0).unicode(), b);
        else
            EXPECT_NE(s.at(0).unicode(), 0xFFFD);
    }
}

TEST(TextCodec, RandomBytesAreNeitherLostNorReplaced)
{
    // Either the bytes were UTF-8 and encode back to themselves, or each byte
    // became exactly one character.
    std::uint32_t state = 12345;
    for (int round = 0; round < 2000; ++round) {
        QByteArray in;
        const int n = round % 40;
        for (int i = 0; i < n; ++i) {
            state = state * 1664525u + 1013904223u;
            in.append(static_cast<char>(state >> 24));
        }
        if (in.startsWith("\xEF\xBB\xBF"))
            continue;
        const QString out = orvell::decodeText(in);
        EXPECT_TRUE(out.toUtf8() == in || out.size() == in.size()) << in.toHex().constData();
    }
}

}  // namespace
