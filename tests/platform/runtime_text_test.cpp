#include <utility>

#include "platform/text.h"
#include "platform/runtime_expect.h"

namespace {

namespace errc = rt::errc;

TEST(RuntimeText, LengthsAndSlicesCountCharacters) {
  const std::string s = "Größe";  // 5 characters, 7 bytes
  EXPECT_EQ(rt::Len(s), 5);
  EXPECT_EQ(rt::Len(""), 0);
  EXPECT_EQ(rt::Left(s, 3), "Grö");
  EXPECT_EQ(rt::Left(s, 99), s);
  EXPECT_EQ(rt::Left(s, 0), "");
  EXPECT_EQ(rt::Right(s, 3), "öße");
  EXPECT_EQ(rt::Right(s, 9), s);
  EXPECT_EQ(rt::Mid(s, 3), "öße");
  EXPECT_EQ(rt::Mid(s, 3, 2), "öß");
  EXPECT_EQ(rt::Mid("kt_Vertrag", 4), "Vertrag");
  EXPECT_EQ(rt::Mid(s, 9), "");
  EXPECT_EQ(rt::Len("€ und 😀"), 7);
  EXPECT_EQ(rt::Right("€ und 😀", 1), "😀");
  EXPECT_RT_ERROR(rt::Mid(s, 0), errc::InvalidCall);
  EXPECT_RT_ERROR(rt::Left(s, -1), errc::InvalidCall);
  // A 30-character key cut keeps whole characters.
  const std::string key = std::string(29, 'a') + "äbc";
  EXPECT_EQ(rt::Left(key, 30), std::string(29, 'a') + "ä");
}

TEST(RuntimeText, MalformedBytesCountAsOneCharacterEach) {
  const std::string bad = "a\xC3" "b\xFF";
  EXPECT_EQ(rt::Len(bad), 4);
  EXPECT_EQ(rt::UCase(bad), "A\xC3" "B\xFF");
  EXPECT_EQ(rt::Len("\xE0\x80\x80"), 3);  // overlong form
}

TEST(RuntimeText, TrimRemovesBlanksOnly) {
  EXPECT_EQ(rt::Trim("  a b  "), "a b");
  EXPECT_EQ(rt::LTrim("  a "), "a ");
  EXPECT_EQ(rt::RTrim("  a "), "  a");
  EXPECT_EQ(rt::Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(rt::Trim("   "), "");
}

TEST(RuntimeText, CaseMappingCoversGermanAndLatinLetters) {
  const struct {
    const char* lower;
    const char* upper;
  } pairs[] = {{"straße äöü àéî þ", "STRAßE ÄÖÜ ÀÉÎ Þ"}, {"× ÷ ÿ", "× ÷ Ÿ"}, {"łódź čšž őű", "ŁÓDŹ ČŠŽ ŐŰ"}};
  for (const auto& p : pairs) {
    EXPECT_EQ(rt::UCase(p.lower), p.upper);
    EXPECT_EQ(rt::LCase(p.upper), p.lower);
  }
  EXPECT_EQ(rt::UCase("abc123-_"), "ABC123-_");
  for (auto [a, b] : {std::pair{"Müller", "MÜLLER"}, {"kt_DefinitionsPositionen", "KT_DEFINITIONSPOSITIONEN"},
                      {"GültigBis", "gÜLTIGbIS"}, {"", ""}})
    EXPECT_TRUE(rt::EqualsIgnoreCase(a, b)) << a;
  for (auto [a, b] : {std::pair{"Müller", "Muller"}, {"Vertrag", "Vertrage"}, {"Vertrage", "Vertrag"},
                      {"Vertrag", "Vertragä"}, {"Vertragä", "Vertrag"}})
    EXPECT_FALSE(rt::EqualsIgnoreCase(a, b)) << a << " " << b;
}

TEST(RuntimeText, ReplaceAndSplit) {
  EXPECT_EQ(rt::Replace("&Speichern && &Schließen", "&", ""), "Speichern  Schließen");
  EXPECT_EQ(rt::Replace("aaa", "aa", "b"), "ba");
  EXPECT_EQ(rt::Replace("abc", "", "x"), "abc");
  using V = std::vector<std::string>;
  EXPECT_EQ(rt::Split("12*", "*"), (V{"12", ""}));
  EXPECT_EQ(rt::Split("1;2;;3", ";"), (V{"1", "2", "", "3"}));
  EXPECT_EQ(rt::Split("abc", ";"), (V{"abc"}));
  EXPECT_EQ(rt::Split("a\r\nb", rt::kCrLf), (V{"a", "b"}));
  EXPECT_EQ(rt::Split("", ";"), V{});
}

TEST(RuntimeText, AnsiAndWideForms) {
  EXPECT_EQ(rt::ToAnsi("Größe 5 €"), "Gr\xF6\xDF" "e 5 \x80");
  EXPECT_EQ(rt::ToAnsi("日"), "?");
  EXPECT_EQ(rt::FromAnsi("Gr\xF6\xDF" "e 5 \x80 \x9D"), "Größe 5 € ?");
  EXPECT_EQ(rt::FromAnsi(rt::ToAnsi("Kündigungsfrist „ab“ – €")), "Kündigungsfrist „ab“ – €");
  EXPECT_EQ(rt::ToWide("Aä€😀"), (std::u16string{u'A', 0xE4, 0x20AC, 0xD83D, 0xDE00}));
}

}  // namespace
