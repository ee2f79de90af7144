#include "utf16_conversion.h"

#include <gtest/gtest.h>

#include "errors.h"
#include "file_access.h"
#include "subtitle_loader.h"
#include "test_processes.h"
#include "test_support.h"

namespace captivo {
namespace {

std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

// The converted copies in `folder`.
std::vector<std::filesystem::path> ConvertedCopies(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> copies;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
    if (entry.path().filename().string().starts_with("tmpsub")) copies.push_back(entry.path());
  return copies;
}

// Converts `bytes` (mark included) and gives the text of the converted copy, a file of the
// user's only, which is gone afterwards.
std::string Convert(const test::TempDir& dir, const std::string& bytes) {
  const std::string source = dir.Write("source", bytes);
  FileDescriptor file = OpenRegularFile(source);
  char mark[2];
  ReadFully(file.Get(), mark, 2, source);
  const std::filesystem::path folder = dir.Path() / "tmp";
  const size_t before = ConvertedCopies(folder).size();  // names laid in its way
  std::string text;
  {
    const TemporaryFile converted =
        ConvertUtf16File(file.Get(), source, mark[0] == '\xFE', {folder});
    EXPECT_EQ(std::filesystem::path(converted.Path()).parent_path(), folder);
    EXPECT_EQ(ConvertedCopies(folder).size(), before + 1);
    EXPECT_EQ(std::filesystem::symlink_status(converted.Path()).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    text = test::FileContents(converted.Path());
  }
  EXPECT_EQ(ConvertedCopies(folder).size(), before);
  return text;
}

TEST(Utf16Conversion, BothByteOrdersBecomeUtf8) {
  test::TempDir dir;
  const std::u16string text = u"1\r\n00:00:01,000 --> 00:00:02,000\r\nÉté \u20ac \U0001F600\r\n";
  const std::string utf8 =
      "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xC3\x89t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\n";
  EXPECT_EQ(Convert(dir, Utf16(text, false)), utf8);
  EXPECT_EQ(Convert(dir, Utf16(text, true)), utf8);
}

TEST(Utf16Conversion, SurrogatePairAcrossBlocksStaysWhole) {
  test::TempDir dir;
  // After the mark, block one holds 1023 units of "a" and the high half of the pair.
  std::u16string text(1023, u'a');
  text += u"\U0001F600b";
  const std::string converted = Convert(dir, Utf16(text, false));
  EXPECT_EQ(converted, std::string(1023, 'a') +
                           "\xF0\x9F\x98\x80"
                           "b");
}

TEST(Utf16Conversion, BrokenInputIsReplacedOrDropped) {
  test::TempDir dir;
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(Convert(dir, Utf16(u"a\xD800"
                               u"b",
                               false)),
            "a" + replacement + "b");
  EXPECT_EQ(Convert(dir, Utf16(u"a\xDC00", false)), "a" + replacement);
  EXPECT_EQ(Convert(dir, Utf16(u"a\xD800", false)), "a" + replacement);  // at the very end
  EXPECT_EQ(Convert(dir, Utf16(u"ab", false) + "c"), "ab");              // odd byte dropped
  EXPECT_EQ(Convert(dir, Utf16(u"", false)), "");
}

TEST(Utf16Conversion, NeverWritesThroughALinkLaidInItsWay) {
  test::TempDir dir;
  const std::string victim = dir.Write("victim", "precious");
  std::filesystem::create_directories(dir.Path() / "tmp");
  std::filesystem::create_symlink(victim, dir.Path() / "tmp" / "tmpsub");
  EXPECT_EQ(Convert(dir, Utf16(u"new", false)), "new");
  EXPECT_EQ(test::FileContents(victim), "precious");
}

TEST(Utf16Conversion, FallsBackToTheNextFolderAndReportsWhenNoneTakesIt) {
  test::TempDir dir;
  // A folder below a plain file cannot be made, not even by root.
  const auto locked = std::filesystem::path(dir.Write("plain", "")) / "folder";
  const std::string source =
      dir.Write("s.srt", Utf16(u"1\n00:00:01,000 --> 00:00:02,000\nx\n", false));
  const PreparedSubtitle prepared = PrepareTextSubtitle(source, {locked, dir.Path() / "cache"});
  EXPECT_EQ(ConvertedCopies(dir.Path() / "cache"),
            std::vector<std::filesystem::path>{prepared.readPath});
  EXPECT_EQ(prepared.format, SubtitleFormat::SubRip);
  try {
    PrepareTextSubtitle(source, {locked});
    ADD_FAILURE();
  } catch (const FileError& e) {
    EXPECT_EQ(e.what(), "Cannot create file " + (locked / "tmpsub").string());
  }
}

// A UTF-16 SubRip file of `count` entries whose texts are `name` and their number.
std::string NumberedSubRip(char16_t name, int count) {
  std::u16string text;
  for (int i = 0; i < count; ++i) {
    const std::string block = std::to_string(i + 1) + "\r\n00:00:" + std::to_string(i % 60) +
                              ",000 --> 00:00:" + std::to_string(i % 60) + ",500\r\n";
    text.append(block.begin(), block.end());
    text += name;
    const std::string number = std::to_string(i) + "\r\n\r\n";
    text.append(number.begin(), number.end());
  }
  return Utf16(text, false);
}

// True when the store holds the `count` entries of NumberedSubRip(name, count).
bool HoldsNumbered(const SubtitleStore& store, char name, int count) {
  if (store.Count() != static_cast<size_t>(count)) return false;
  for (int i = 0; i < count; ++i)
    if (store.Text(static_cast<size_t>(i)) != name + std::to_string(i)) return false;
  return true;
}

TEST(Utf16Conversion, EachLoadReadsItsOwnCopyAndRemovesIt) {
  test::TempDir dir;
  const std::string a = dir.Write("a.srt", NumberedSubRip(u'a', 3));
  const std::string b = dir.Write("b.srt", NumberedSubRip(u'b', 3));
  SubtitleStore store;
  test::RecordingSink sink;
  {
    const PreparedSubtitle first = PrepareTextSubtitle(a, {dir.Path()});
    const PreparedSubtitle second = PrepareTextSubtitle(b, {dir.Path()});
    EXPECT_EQ(ConvertedCopies(dir.Path()).size(), 2u);
    ReadTextSubtitle(first, store, sink);
    EXPECT_TRUE(HoldsNumbered(store, 'a', 3));
    ReadTextSubtitle(second, store, sink);
    EXPECT_TRUE(HoldsNumbered(store, 'b', 3));
  }
  EXPECT_TRUE(ConvertedCopies(dir.Path()).empty());

  LoadTextSubtitle(a, store, sink, {dir.Path()});
  EXPECT_TRUE(HoldsNumbered(store, 'a', 3));
  EXPECT_TRUE(ConvertedCopies(dir.Path()).empty());
  // A reader that raises leaves no copy behind either.
  const std::string bad = dir.Write("bad.txt", Utf16(u"00:00:01:a\r\n00:x:02:b\r\n", false));
  EXPECT_THROW(LoadTextSubtitle(bad, store, sink, {dir.Path()}), ConversionError);
  EXPECT_TRUE(ConvertedCopies(dir.Path()).empty());
}

TEST(Utf16Conversion, TwoProgramsConvertingAtOnceNeverMix) {
  test::TempDir dir;
  constexpr int kEntries = 2000;
  const std::string a = dir.Write("a.srt", NumberedSubRip(u'a', kEntries));
  const std::string b = dir.Write("b.srt", NumberedSubRip(u'b', kEntries));
  auto load = [&](const std::string& path, char name) {
    return [&dir, path, name] {
      SubtitleStore store;
      test::RecordingSink sink;
      LoadTextSubtitle(path, store, sink, {dir.Path()});
      return HoldsNumbered(store, name, kEntries) ? 0 : 1;
    };
  };
  for (int round = 0; round < 40; ++round) {
    EXPECT_EQ(test::RunInChildren({load(a, 'a'), load(b, 'b')}),
              (std::vector<std::optional<int>>{0, 0}))
        << "round " << round;
  }
  EXPECT_TRUE(ConvertedCopies(dir.Path()).empty());
}

TEST(Utf16Conversion, AnInstalledProgramsFolderIsNeverUsed) {
  const std::filesystem::path cache = "/home/someone/.cache/captivo";
  for (const char* folder : {"/usr/bin", "/usr/local/bin", "/opt/captivo/bin"})
    EXPECT_EQ(TempSubtitleFolders(folder, cache), std::vector<std::filesystem::path>{cache})
        << folder;
  for (const char* folder : {"/home/someone/captivo/build", "/usr2/bin", "/srv/opt"})
    EXPECT_EQ(TempSubtitleFolders(folder, cache),
              (std::vector<std::filesystem::path>{folder, cache}))
        << folder;
}

TEST(Utf16Conversion, LoaderReadsTheCopyButOnlyForAMark) {
  test::TempDir dir;
  const std::string source =
      dir.Write("s.srt", Utf16(u"1\n00:00:01,000 --> 00:00:02,000\nx\n", true));
  const PreparedSubtitle prepared = PrepareTextSubtitle(source, {dir.Path()});
  EXPECT_EQ(ConvertedCopies(dir.Path()), std::vector<std::filesystem::path>{prepared.readPath});
  const std::string single = dir.Write("one", "\xFF");  // shorter than a mark
  EXPECT_EQ(PrepareTextSubtitle(single, {dir.Path()}).readPath, single);
}

}  // namespace
}  // namespace captivo
