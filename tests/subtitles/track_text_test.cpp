// The plain lines of a movie's text tracks: what each kind of markup leaves.
#include "track_text.h"

#include <gtest/gtest.h>

namespace captivo {
namespace {

struct Case {
  TrackMarkup markup;
  const char* payload;
  const char* expected;
};

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases)
    EXPECT_EQ(PlainTrackText(c.payload, c.markup), c.expected) << c.payload;
}

TEST(TrackText, AssOverridesGoAndBreaksStay) {
  constexpr auto kAss = TrackMarkup::Ass;
  Check({
      {kAss, "{\\an8}{\\i1}Top{\\i0} line", "Top line"},
      {kAss, "One\\Ntwo\\nthree", "One\r\ntwo\r\nthree"},
      {kAss, "Hard\\hspace", "Hard space"},
      {kAss, "{\\pos(10,20)\\c&HFFFFFF&}Text, with commas", "Text, with commas"},
      // A drawing and what it draws go; \pos and \pbo are not \p.
      {kAss, "{\\p1}m 0 0 l 100 0 100 100{\\p0}After", "After"},
      {kAss, "{\\pos(1,2)\\pbo0}Kept", "Kept"},
      {kAss, "Before{\\p2}m 0 0 l 1 1", "Before"},
      // An unclosed brace is text; other backslashes too.
      {kAss, "a {b \\x", "a {b \\x"},
      // Empty lines at either end go, those between stay.
      {kAss, "\\N\\NMiddle\\N\\Nend\\N", "Middle\r\n\r\nend"},
      {kAss, "{\\p1}m 0 0{\\p0}", ""},
      {kAss, "", ""},
  });
}

TEST(TrackText, SubRipTagsGoAndTextLikeTagsStay) {
  constexpr auto kSrt = TrackMarkup::SubRip;
  Check({
      {kSrt, "<i>Hello</i> <font color=\"#ffffff\">there</font>", "Hello there"},
      {kSrt, "{\\an8}At the top", "At the top"},
      {kSrt, "Line one\r\nLine two\nthree\rfour", "Line one\r\nLine two\r\nthree\r\nfour"},
      {kSrt, "3 < 5 and 5 > 3", "3 < 5 and 5 > 3"},
      {kSrt, "<b unclosed\nnext>", "<b unclosed\r\nnext>"},  // a tag ends on its line
      {kSrt, "{not a block}", "{not a block}"},
      {kSrt, "\n\nText\n\n", "Text"},
      {kSrt, "Caf\xC3\xA9 \xE2\x99\xAA", "Caf\xC3\xA9 \xE2\x99\xAA"},
  });
}

TEST(TrackText, WebVttTagsTimesAndReferences) {
  constexpr auto kVtt = TrackMarkup::WebVtt;
  Check({
      {kVtt, "<v Anna>Fish &amp; <b>chips</b></v>", "Fish & chips"},
      {kVtt, "<c.yellow>Karaoke</c> <00:00:01.500>next", "Karaoke next"},
      {kVtt, "&lt;tag&gt; &quot;q&quot; &apos;a&apos; a&nbsp;b", "<tag> \"q\" 'a' a b"},
      {kVtt, "&#233;&#xE9;&#X263A;", "\xC3\xA9\xC3\xA9\xE2\x98\xBA"},
      // References that are none, or name no character, stay or become U+FFFD.
      {kVtt, "AT&T &unknown; &#; &#xD800; &#99999999;",
       "AT&T &unknown; &#; \xEF\xBF\xBD \xEF\xBF\xBD"},
      {kVtt, "Two\nlines", "Two\r\nlines"},
  });
}

TEST(TrackText, PlainTextKeepsEverythingButLineBreaks) {
  constexpr auto kPlain = TrackMarkup::Plain;
  Check({
      {kPlain, "<i>as is</i> {\\an8} &amp;", "<i>as is</i> {\\an8} &amp;"},
      {kPlain, "a\r\nb\nc", "a\r\nb\r\nc"},
  });
}

}  // namespace
}  // namespace captivo
