#include "utf16_conversion.h"

#include <gtest/gtest.h>
#include <fstream>
#include <sstream>

#include "errors.h"
#include "file_access.h"
#include "subtitle_loader.h"
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

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// Converts `bytes` (mark included) and gives the text of the converted copy.
std::string Convert(const test::TempDir& dir, const std::string& bytes) {
  const std::string source = dir.Write("source", bytes);
  FileDescriptor file = OpenRegularFile(source);
  char mark[2];
  ReadFully(file.Get(), mark, 2, source);
  const std::string converted =
      ConvertUtf16File(file.Get(), source, mark[0] == '\xFE', {dir.Path() / "tmp"});
  EXPECT_EQ(converted, (dir.Path() / "tmp" / "tmpsub").string());
  return ReadFile(converted);
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

TEST(Utf16Conversion, ReplacesASymbolicLinkInsteadOfFollowingIt) {
  test::TempDir dir;
  const std::string victim = dir.Write("victim", "precious");
  std::filesystem::create_directories(dir.Path() / "tmp");
  std::filesystem::create_symlink(victim, dir.Path() / "tmp" / "tmpsub");
  EXPECT_EQ(Convert(dir, Utf16(u"new", false)), "new");
  EXPECT_EQ(ReadFile(victim), "precious");
  EXPECT_FALSE(std::filesystem::is_symlink(dir.Path() / "tmp" / "tmpsub"));
}

TEST(Utf16Conversion, FallsBackToTheNextFolderAndReportsWhenNoneTakesIt) {
  test::TempDir dir;
  // A folder below a plain file cannot be made, not even by root.
  const auto locked = std::filesystem::path(dir.Write("plain", "")) / "folder";
  const std::string source =
      dir.Write("s.srt", Utf16(u"1\n00:00:01,000 --> 00:00:02,000\nx\n", false));
  const PreparedSubtitle prepared = PrepareTextSubtitle(source, {locked, dir.Path() / "cache"});
  EXPECT_EQ(prepared.readPath, (dir.Path() / "cache" / "tmpsub").string());
  EXPECT_EQ(prepared.format, SubtitleFormat::SubRip);
  try {
    PrepareTextSubtitle(source, {locked});
    ADD_FAILURE();
  } catch (const FileError& e) {
    EXPECT_EQ(e.what(), "Cannot create file " + (locked / "tmpsub").string());
  }
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
  EXPECT_EQ(PrepareTextSubtitle(source, {dir.Path()}).readPath, (dir.Path() / "tmpsub").string());
  const std::string single = dir.Write("one", "\xFF");  // shorter than a mark
  EXPECT_EQ(PrepareTextSubtitle(single, {dir.Path()}).readPath, single);
}

}  // namespace
}  // namespace captivo
