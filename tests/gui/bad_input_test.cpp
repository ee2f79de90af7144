// Files from the internet, through the window: each shows its message, or loads what it
// can, and the program goes on.
#include <sys/resource.h>
#include <unistd.h>

#include <QtTest>
#include <fstream>
#include <random>

#include "fake_movix.h"
#include "window_fixture.h"

namespace captivo::test {

namespace {

const QString kUnknown =
    "Unknown subtitle file format, Please contact to support@brindle.example !!!";

struct Outcome {
  QString title;
  QString text;  // empty: no box at all
};

Outcome Load(WindowFixture& f, const QString& path) {
  f.prompts.messages.clear();
  f.prompts.files.push_back(path);
  f.Trigger("LoadSubtitle1");
  if (f.prompts.messages.empty()) return {};
  return {f.prompts.messages.back().title, f.prompts.messages.back().text};
}

long PeakResidentKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

class BadInputTest : public QObject {
  Q_OBJECT

 private slots:
  void badSubtitleFilesShowTheirMessage_data();
  void badSubtitleFilesShowTheirMessage();
  void foldersAndUnreadableFilesCannotBeOpened();
  void aHugeSingleLineFileKeepsMemoryBounded();
  void aReadOnlySettingsFileIsKept();
};

void BadInputTest::badSubtitleFilesShowTheirMessage_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("text");
  const QString error = "Error", captivo = "Captivo";
  QTest::newRow("empty") << QByteArray() << error << kUnknown;
  QTest::newRow("NUL bytes") << QByteArray(64, '\0') << error << kUnknown;
  std::mt19937 random(5);
  QByteArray garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>(random() % 256);
  garbage[0] = 'G';
  QTest::newRow("binary garbage") << garbage << error << kUnknown;
  QTest::newRow("frames beyond 32 bits") << QByteArray("{1}{2}a\n{4294967296}{5}b\n") << captivo
                                         << "'4294967296' is not a valid integer value";
  QTest::newRow("SubRip hours beyond 32 bits")
      << QByteArray("1\n00:00:01,000 --> 00:00:02,000\na\n2\n9999999999:00:00,000 --> 0:0:1,0\nb\n")
      << captivo << "'9999999999' is not a valid integer value";
  QTest::newRow("SubStation seconds beyond 32 bits")
      << QByteArray("[Script Info]\nDialogue: 0,0:00:99999999999.00,0:00:01.00,D,,0,0,0,,x\n")
      << captivo << "'99999999999' is not a valid integer value";
  QTest::newRow("SubViewer total beyond 32 bits")
      << QByteArray("[INFORMATION]\n596524:00:00.00,00:00:01.00\nx\n\n") << captivo
      << "'596524:00:00.00' is not a valid integer value";
  QTest::newRow("time-code minutes beyond 32 bits")
      << QByteArray("00:00:01:a\n00:5000000000:00:b\n") << captivo
      << "'5000000000' is not a valid integer value";
  QTest::newRow("negative frames") << QByteArray("{-5}{10}x\n") << error << "Subtitle file error";
  QTest::newRow("negative SubRip time")
      << QByteArray("1\n-00:00:01,000 --> 00:00:02,000\nx\n") << error << "Subtitle file error";
  QTest::newRow("negative time-code") << QByteArray("00:00:-1:x\n") << QString() << QString();
  QTest::newRow("a .sub that is neither")
      << QByteArray("\x00\x00\x01\xBA garbage", 12) << error << kUnknown;
  QTest::newRow("UTF-16 cut at an odd byte") << QByteArray(
                                                    "\xFF\xFE{\x00"
                                                    "1\x00}\x00{\x00"
                                                    "2\x00}\x00x\x00\x0A",
                                                    17)
                                             << QString() << QString();
}

void BadInputTest::badSubtitleFilesShowTheirMessage() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, title);
  QFETCH(QString, text);
  WindowFixture f;
  const Outcome outcome =
      Load(f, QString::fromStdString(f.dir.Write("file.sub", bytes.toStdString())));
  QCOMPARE(outcome.title, title);
  QCOMPARE(outcome.text, text);
  // The program goes on: a good file loads after it. (What the bad file left in the store
  // is the engine tests' concern.)
  QVERIFY(Load(f, QString::fromStdString(f.dir.Write("good.sub", "{1}{2}fine\n"))).text.isEmpty());
  QCOMPARE(f.ShownAt(1), std::string("fine"));
}

void BadInputTest::foldersAndUnreadableFilesCannotBeOpened() {
  WindowFixture f;
  const QString folder = QString::fromStdString(f.dir.Path().string());
  Outcome outcome = Load(f, folder);
  QCOMPARE(outcome.title, QString("Captivo"));
  QCOMPARE(outcome.text, "Cannot open file " + folder);
  if (::geteuid() == 0) QSKIP("root reads files without read permission");
  const std::string locked = f.dir.Write("locked.srt", "1\n");
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  outcome = Load(f, QString::fromStdString(locked));
  QCOMPARE(outcome.text, "Cannot open file " + QString::fromStdString(locked));
}

void BadInputTest::aHugeSingleLineFileKeepsMemoryBounded() {
#if defined(__SANITIZE_ADDRESS__)
  QSKIP("the address sanitizer keeps freed memory in quarantine");
#endif
  WindowFixture f;
  constexpr size_t kSize = 200u << 20;
  const auto path = f.dir.Path() / "huge.srt";
  {
    std::ofstream out(path, std::ios::binary);
    const std::string block(1 << 20, 'x');
    for (size_t written = 0; written < kSize; written += block.size()) out << block;
  }
  const long before = PeakResidentKb();
  const Outcome outcome = Load(f, QString::fromStdString(path.string()));
  QCOMPARE(outcome.text, kUnknown);
  const long grownKb = PeakResidentKb() - before;
  qInfo("a 200 MB line raised the peak by %ld MB", grownKb / 1024);
  QVERIFY2(grownKb < 3 * static_cast<long>(kSize / 1024), qPrintable(QString::number(grownKb)));
  std::filesystem::remove(path);
}

void BadInputTest::aReadOnlySettingsFileIsKept() {
  if (::geteuid() == 0) QSKIP("root writes read-only files");
  WindowFixture f("[Setting]\nOnTop=0\n[Mine]\nKeep=1\n");
  std::filesystem::permissions(f.SettingsFile(), std::filesystem::perms::owner_read);
  f.fmMain->close();
  QCOMPARE(f.prompts.messages.back().text,
           QString::fromStdString("Unable to write to " + f.SettingsFile().string()));
}

}  // namespace captivo::test

int RunBadInputTests(int argc, char** argv) {
  captivo::test::BadInputTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "bad_input_test.moc"
