// The encoding a text subtitle file is read with: UTF-8 checked strictly, and a legacy
// file's code page told by its letters.
#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <string>
#include <vector>

#include "subtitle_text.h"
#include "test_support.h"
#include "text_encoding.h"

namespace captivo {
namespace {

TEST(IsValidUtf8, AcceptsWellFormedSequencesOnly) {
  struct Case {
    std::string bytes;
    bool valid;
  };
  const std::vector<Case> cases = {
      {"", true},
      {"plain ASCII\r\n", true},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", true},  // é € and an emoji
      {"caf\xE9", false},                                   // Latin-1
      {"\xC3", false},                                      // cut short
      {"\xE2\x82", false},                                  // cut short
      {"\xC0\xAF", false},                                  // overlong
      {"\xE0\x80\xAF", false},                              // overlong
      {"\xED\xA0\x80", false},                              // a UTF-16 surrogate
      {"\xF4\x90\x80\x80", false},                          // beyond U+10FFFF
      {"\x80", false},                                      // a lone continuation byte
      {"\xC3\x28", false},                                  // a continuation missing
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

// `lines` (UTF-8) as a SubRip file in the encoding `codepage` (ICU's name).
std::string SubRipIn(const char* codepage, const std::vector<std::string>& lines) {
  std::string utf8;
  int n = 0;
  for (int round = 0; round < 3; ++round)
    for (const std::string& line : lines) {
      ++n;
      utf8 += std::to_string(n) + "\r\n00:00:" + std::to_string(10 + n) +
              ",000 --> 00:00:" + std::to_string(10 + n) + ",900\r\n" + line + "\r\n\r\n";
    }
  std::string out(utf8.size() * 4, '\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length =
      ucnv_convert(codepage, "UTF-8", out.data(), static_cast<int32_t>(out.size()), utf8.data(),
                   static_cast<int32_t>(utf8.size()), &status);
  EXPECT_TRUE(U_SUCCESS(status)) << codepage;
  out.resize(static_cast<size_t>(std::max(length, 0)));
  return out;
}

TEST(DetectLegacyEncoding, TellsTheCodePageOfSubtitleLines) {
  struct Case {
    const char *written, *told;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"windows-1250",
       "windows-1250",
       {"Cześć, jak się dzisiaj masz?", "Nie wiem, co teraz powinniśmy zrobić.",
        "Chodźmy do domu, jest już późno.", "Dziękuję ci za wszystko, co zrobiłeś."}},
      {"windows-1251",
       "windows-1251",
       {"Привет, как у тебя дела сегодня?", "Я не знаю, что нам теперь делать.",
        "Пойдём домой, уже поздно и холодно.", "Спасибо тебе за всё, что ты сделал."}},
      {"KOI8-R",
       "KOI8-R",
       {"Привет, как у тебя дела сегодня?", "Я не знаю, что нам теперь делать.",
        "Пойдём домой, уже поздно и холодно.", "Спасибо тебе за всё, что ты сделал."}},
      {"windows-1253",
       "windows-1253",
       {"Γεια σου, πώς είσαι σήμερα;", "Δεν ξέρω τι πρέπει να κάνουμε τώρα.",
        "Πάμε σπίτι, είναι ήδη αργά.", "Σε ευχαριστώ για όλα όσα έκανες."}},
      {"windows-1254",
       "windows-1254",
       {"Merhaba, bugün nasılsın?", "Şimdi ne yapmamız gerektiğini bilmiyorum.",
        "Hadi eve gidelim, çok geç oldu.", "Yaptığın her şey için teşekkür ederim."}},
      {"windows-1255",
       "windows-1255",
       {"שלום, מה שלומך היום?", "אני לא יודע מה אנחנו צריכים לעשות עכשיו.",
        "בוא נלך הביתה, כבר מאוחר.", "תודה לך על כל מה שעשית."}},
      {"windows-1256",
       "windows-1256",
       {"مرحبا، كيف حالك اليوم؟", "لا أعرف ماذا يجب أن نفعل الآن.",
        "لنذهب إلى البيت، لقد تأخر الوقت.", "شكرا لك على كل ما فعلته."}},
      {"Big5",
       "Big5",
       {"你好，你今天過得怎麼樣？", "我不知道我們現在該怎麼辦。", "我們回家吧，已經很晚了。",
        "謝謝你為我做的一切。"}},
      {"GB18030",
       "GB18030",
       {"你好，你今天过得怎么样？", "我不知道我们现在该怎么办。", "我们回家吧，已经很晚了。",
        "谢谢你为我做的一切。"}},
      {"Shift_JIS",
       "Shift_JIS",
       {"こんにちは、今日の調子はどうですか？", "今何をすべきか分かりません。",
        "もう遅いから、家に帰りましょう。", "いろいろとありがとうございました。"}},
      {"windows-949",
       "windows-949",
       {"안녕하세요, 오늘 어떻게 지내세요?", "지금 무엇을 해야 할지 모르겠어요.",
        "이제 늦었으니 집에 가자.", "네가 해준 모든 것에 고마워."}},
      {"windows-1252",
       "windows-1252",
       {"Où est passé le garçon ?", "Ça ne me dérange pas du tout.", "Señor, ¿qué pasó aquí?",
        "Él no sabía nada de la canción."}},
  };
  for (const Case& c : cases) {
    const std::string file = SubRipIn(c.written, c.lines);
    EXPECT_FALSE(IsValidUtf8(file)) << c.written;
    EXPECT_EQ(DetectLegacyEncoding(file), c.told) << c.written;
    EXPECT_TRUE(IsLegacyEncoding(c.told));
  }
}

TEST(SubtitleTextEncoding, NamesUnicodeFilesAndNeverCallsThemLegacy) {
  struct Case {
    std::string bytes;
    const char* encoding;
  };
  const std::vector<Case> cases = {
      {"1\n00:00:01,000 --> 00:00:02,000\nplain\n", "utf-8"},
      {"1\n00:00:01,000 --> 00:00:02,000\nd\xC3\xA9j\xC3\xA0 vu\n", "utf-8"},
      {std::string("\xFF\xFE"
                   "1\0\n\0",
                   6),
       "utf-16le"},
      {std::string("\xFE\xFF\0"
                   "1\0\n",
                   6),
       "utf-16be"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SubtitleText::FromBytes(c.bytes).Encoding(), c.encoding);
    EXPECT_FALSE(IsLegacyEncoding(c.encoding));
  }
  EXPECT_FALSE(IsLegacyEncoding(""));
}

// Real files of the shared test data, in the code pages their manifest gives.
TEST(DetectLegacyEncoding, RealSubtitleFiles) {
  const std::pair<const char*, const char*> files[] = {
      {"srt-cp1250-hr.srt", "windows-1250"},
      {"microdvd-cp1250-pl.sub", "windows-1250"},
      {"srt-cp1251-ru-digits-lines.srt", "windows-1251"},
      {"srt-crlf-cp1252-fr.srt", "windows-1252"},
      {"ssa-v4-cp1252-es-marked.ssa", "windows-1252"},
      {"subviewer-latin1-fr-empty-first.sub", "windows-1252"},
  };
  for (const auto& [name, encoding] : files) {
    const std::string path = test::TestDataFile(name);
    if (path.empty()) GTEST_SKIP() << "shared test data not present";
    EXPECT_EQ(SubtitleText::FromFile(path).Encoding(), encoding) << name;
  }
}

}  // namespace
}  // namespace captivo
