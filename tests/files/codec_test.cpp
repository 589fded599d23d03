#include "files/text_codec.h"

#include <gtest/gtest.h>

using namespace velomast;

TEST(TextCodec, EveryCp1251ByteSurvivesTheTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = Cp1251ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    std::string back;
    ASSERT_TRUE(Utf8ToCp1251(utf8, back));
    EXPECT_EQ(back, all);
}

TEST(TextCodec, Cp1251LettersAndSigns) {
    const struct {
        unsigned char Byte;
        const char* Utf8;
    } cases[] = {{0xC0, "А"}, {0xDF, "Я"}, {0xE0, "а"}, {0xFF, "я"}, {0xA8, "Ё"},
                 {0xB8, "ё"}, {0xB9, "№"}, {0x88, "€"}, {0x96, "–"}, {0xAB, "«"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Cp1251ToUtf8(std::string(1, static_cast<char>(c.Byte))), c.Utf8) << int(c.Byte);
        std::string out;
        ASSERT_TRUE(Utf8ToCp1251(c.Utf8, out));
        EXPECT_EQ(out, std::string(1, static_cast<char>(c.Byte)));
    }
}

TEST(TextCodec, CharactersOutsideCp1251AreRefusedNotDropped) {
    for (const char* text : {"Антенна 中", "ü", "\xF0\x9F\x93\xA1", "\xFF"}) {
        std::string out = "kept";
        EXPECT_FALSE(Utf8ToCp1251(text, out)) << text;
        EXPECT_EQ(out, "kept");
    }
}

TEST(TextCodec, DecodeChoosesTheEncoding) {
    const struct {
        std::string Bytes;
        TTextEncoding Encoding;
        bool Bom;
        std::string Text;
    } cases[] = {
        {"Dipole\r\n*", TTextEncoding::Cp1251, false, "Dipole\r\n*"},
        {"\xC0\xED\xF2\xE5\xED\xED\xE0", TTextEncoding::Cp1251, false, "Антенна"},
        {"Антенна", TTextEncoding::Utf8, false, "Антенна"},
        {"\xEF\xBB\xBF" "Dipole", TTextEncoding::Utf8, true, "Dipole"},
        {"\xEF\xBB\xBF" "\xC0", TTextEncoding::Cp1251, true, "А"}, // a mark before bytes that are not UTF-8
        {"\xC0\x80", TTextEncoding::Cp1251, false, "А\xD0\x82"},     // overlong form: not UTF-8
        {"\xED\xA0\x80", TTextEncoding::Cp1251, false, "н\xC2\xA0\xD0\x82"}, // surrogate: not UTF-8
        {"", TTextEncoding::Cp1251, false, ""},
    };
    for (const auto& c : cases) {
        const TDecodedText d = DecodeText(c.Bytes);
        EXPECT_EQ(d.Encoding, c.Encoding) << c.Bytes;
        EXPECT_EQ(d.Bom, c.Bom) << c.Bytes;
        EXPECT_EQ(d.Text, c.Text) << c.Bytes;
        // Taking the bytes over decodes them the same way.
        const TDecodedText taken = DecodeText(std::string(c.Bytes));
        EXPECT_EQ(taken.Encoding, c.Encoding) << c.Bytes;
        EXPECT_EQ(taken.Bom, c.Bom) << c.Bytes;
        EXPECT_EQ(taken.Text, c.Text) << c.Bytes;
    }
}

TEST(TextCodec, LinesEndAtCrLfLfOrCr) {
    using L = std::vector<std::string>;
    const struct {
        std::string Text;
        L Lines;
    } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"", {}},
        {"a\rb\rc\r", {"a", "b", "c"}},
        {"a\r", {"a"}},
        {"\r\r\n\n\r", {"", "", "", ""}},
        {"a\r\n\rb", {"a", "", "b"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitLines(c.Text), c.Lines) << c.Text;
        EXPECT_EQ(CountLines(c.Text), c.Lines.size()) << c.Text;
        // The backup's bytes: the same lines, each ended with CR LF.
        EXPECT_EQ(WithCrLfLineEnds(c.Text), JoinLinesCrLf(c.Lines)) << c.Text;
    }
    EXPECT_EQ(JoinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
}
