#include "data/text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ws {
namespace {

TEST(Cp1251, RoundTripsCyrillicAndMarksWhatItCannotMap) {
    const std::string utf8 = "Ошибка при вводе из файла ёЁ №";
    const std::string bytes = Utf8ToCp1251(utf8);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xCE);  // О
    EXPECT_EQ(Cp1251ToUtf8(bytes), utf8);
    EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xADz"), "a?z");  // a CJK character
    EXPECT_EQ(Utf8ToCp1251("a\xFFz"), "a?z");          // broken UTF-8
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");   // the one unassigned byte
}

TEST(Utf8, Validation) {
    EXPECT_TRUE(IsValidUtf8("plain ascii"));
    EXPECT_TRUE(IsValidUtf8("Толщина"));
    for (const std::string& bad :
         {Utf8ToCp1251("Толщина"), std::string("\xC0\x80") /* overlong */,
          std::string("\xED\xA0\x80") /* surrogate */, std::string("\xE2\x82") /* truncated */})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

// An operator's own text file may come from Notepad in either encoding, with or without a mark.
TEST(UserText, OpensUtf8WithOrWithoutAMarkAndFallsBackToWindows1251) {
    EXPECT_EQ(DecodeUserText("\xEF\xBB\xBFТолщина"), "Толщина");
    EXPECT_EQ(DecodeUserText("Толщина"), "Толщина");
    EXPECT_EQ(DecodeUserText(Utf8ToCp1251("Толщина")), "Толщина");
}

std::vector<std::string> Lines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string line;
    while (ReadTextLine(in, line, 4096))
        out.push_back(line);
    return out;
}

TEST(ReadTextLine, AcceptsEveryLineEnd) {
    using V = std::vector<std::string>;
    for (const char* text : {"a\r\nb\r\n", "a\nb\n", "a\rb\r", "a\r\nb"})
        EXPECT_EQ(Lines(text), (V{"a", "b"})) << text;
    EXPECT_EQ(Lines("a\n\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines(""), V{});
}

}  // namespace
}  // namespace ws
