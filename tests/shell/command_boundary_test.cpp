#include "command_boundary.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "user_prompts.h"

namespace captivo {
namespace {

// Records the message boxes; nothing else is asked of it here.
class RecordingPrompts : public UserPrompts {
 public:
  struct Box {
    QString title, text;
    QMessageBox::Icon icon;
  };
  std::vector<Box> boxes;
  void ShowMessage(QWidget*, const QString& title, const QString& text,
                   QMessageBox::Icon icon) override {
    boxes.push_back({title, text, icon});
  }
  QString ChooseFile(QWidget*, const QString&, const QString&) override { return {}; }
  QString ChooseSaveFile(QWidget*, const QString&, const QString&, QString&) override { return {}; }
  bool Ask(QWidget*, const QString&, const QString&) override { return false; }
  bool ChooseFont(QWidget*, SubtitleFont&) override { return false; }
  int Exec(QDialog*) override { return 0; }
};

TEST(CommandBoundary, ShowsWhatEndedTheCommandAndGoesOn) {
  struct Case {
    std::function<void()> command;
    const char* text;  // nullptr: no box
  } cases[] = {
      {[] {}, nullptr},
      {[] { throw std::runtime_error("Cannot open file /x.srt"); }, "Cannot open file /x.srt"},
      {[] { throw std::bad_alloc(); }, "Not enough memory to finish this command"},
  };
  for (const Case& c : cases) {
    RecordingPrompts prompts;
    RunCommand(prompts, nullptr, c.command);
    if (!c.text) {
      EXPECT_TRUE(prompts.boxes.empty());
      continue;
    }
    ASSERT_EQ(prompts.boxes.size(), 1u) << c.text;
    EXPECT_EQ(prompts.boxes[0].title.toStdString(), "Captivo");
    EXPECT_EQ(prompts.boxes[0].text.toStdString(), c.text);
    EXPECT_EQ(prompts.boxes[0].icon, QMessageBox::Critical);
  }
}

}  // namespace
}  // namespace captivo
