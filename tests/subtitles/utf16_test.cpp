#include "utf8_text.h"

#include <gtest/gtest.h>

#include <set>

#include "app_paths.h"
#include "subtitle_loader.h"
#include "test_support.h"

namespace captivo {
namespace {

// `text` as UTF-16 bytes of that order, without a mark.
std::string Units(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

// The same as a whole file: the mark, then the units.
std::string Utf16File(std::u16string_view text, bool bigEndian) {
  return (bigEndian ? "\xFE\xFF" : "\xFF\xFE") + Units(text, bigEndian);
}

TEST(Utf16ToUtf8, ConvertsBothByteOrdersAndRepairsBrokenText) {
  const std::string replacement = "\xEF\xBF\xBD";
  struct Case {
    std::u16string text;
    std::string utf8;
  } cases[] = {
      {u"1\r\n00:00:01,000 --> 00:00:02,000\r\nÉté \u20ac \U0001F600\r\n",
       "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xC3\x89t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\n"},
      {u"", ""},
      {std::u16string(1, u'\0'), std::string(1, '\0')},
      {u"\U0001F600\U0001F600", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"},  // pairs back to back
      {u"a\xD800"
       u"b",
       "a" + replacement + "b"},                                  // a high half alone
      {u"a\xDC00", "a" + replacement},                            // a low half alone
      {u"a\xD800", "a" + replacement},                            // a high half at the very end
      {u"\xD800\xD800\xDC00", replacement + "\xF0\x90\x80\x80"},  // the second high is paired
      {u"\xDC00\xD800", replacement + replacement},               // halves in the wrong order
  };
  for (const Case& c : cases) {
    for (bool bigEndian : {false, true}) {
      EXPECT_EQ(Utf16ToUtf8(Units(c.text, bigEndian), bigEndian), c.utf8) << c.utf8;
      EXPECT_EQ(Utf16ToUtf8(Units(c.text, bigEndian) + "z", bigEndian), c.utf8)
          << "a trailing odd byte is dropped: " << c.utf8;
    }
  }
}

TEST(Utf16Loading, AMarkOfEitherOrderConvertsTheRest) {
  struct Case {
    std::string bytes;
    SubtitleFormat format;
    std::vector<test::Entry> entries;
  } cases[] = {
      {Utf16File(u"1\n00:00:01,000 --> 00:00:02,000\nÉté\n", false),
       SubtitleFormat::SubRip,
       {{1, 2, "\xC3\x89t\xC3\xA9"}}},
      {Utf16File(u"{5}{6}x|y\r\n", true), SubtitleFormat::Frame, {{5, 6, "x\r\ny"}}},
      {Utf16File(u"\uFEFF00:00:07:z", false), SubtitleFormat::TimeCode, {{7, 2147483647, "z"}}},
      {Utf16File(u"", false), SubtitleFormat::Unknown, {}},
      {"\xFF", SubtitleFormat::Unknown, {}},  // too short for a mark: read as it is
  };
  for (const Case& c : cases) {
    SubtitleStore store;
    test::RecordingSink sink;
    EXPECT_EQ(LoadTextSubtitleBytes(c.bytes, store, sink), c.format);
    EXPECT_EQ(test::EntriesOf(store), c.entries);
  }
}

// The names in `folder`.
std::set<std::string> Names(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

TEST(Utf16Loading, WritesNoFile) {
  test::TempDir dir;
  const std::string path =
      dir.Write("film.srt", Utf16File(u"1\n00:00:01,000 --> 00:00:02,000\nx\n", false));
  const std::set<std::string> besideTheFile = Names(dir.Path());
  const std::set<std::string> besideTheProgram = Names(ExecutableFolder());
  SubtitleStore store;
  test::RecordingSink sink;
  EXPECT_EQ(LoadTextSubtitle(path, store, sink), SubtitleFormat::SubRip);
  EXPECT_EQ(store.Count(), 1u);
  EXPECT_EQ(Names(dir.Path()), besideTheFile);
  EXPECT_EQ(Names(ExecutableFolder()), besideTheProgram);
}

}  // namespace
}  // namespace captivo
