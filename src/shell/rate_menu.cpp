#include "rate_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "number_text.h"
#include "status_bar.h"
#include "timing_control.h"
#include "timing_history.h"

namespace captivo {

RateMenu::RateMenu(QMenu* subtitleMenu, TimingControl& timing, TimingHistory& history,
                   StatusBar& status, const CommandRunner& run)
    : timing_(timing), status_(status) {
  QMenu* rates = subtitleMenu->addMenu("Subtitle FrameRate");
  rates->menuAction()->setObjectName("SubtitleFrameRate1");
  items_ = new QActionGroup(rates);
  const char* items[6][2] = {{"SameAsMovie1", "Same As Movie"},
                             {"n001", "23.976"},
                             {"n002", "24.000"},
                             {"n003", "25.000"},
                             {"n004", "29.970"},
                             {"n005", "30.000"}};
  for (int tag = 0; tag < 6; ++tag) {
    QAction* item = rates->addAction(items[tag][1]);
    item->setObjectName(items[tag][0]);
    item->setCheckable(true);
    item->setData(tag);  // the item's tag, as the menu's table gives it
    items_->addAction(item);
    QObject::connect(item, &QAction::triggered, rates, [this, &history, run, tag] {
      run([this, &history, tag] {
        history.BeforeChange();
        timing_.ChooseRate(RateChoice::MenuItem(tag));
      });
    });
  }
  items_->actions().front()->setChecked(true);  // Same As Movie, and the panel still empty
  QObject::connect(&timing, &TimingControl::rateChosen, rates, [this] { ShowChoice(); });
}

void RateMenu::ShowChoice() {
  const RateChoice& choice = timing_.Timing().rateChoice;
  if (const auto tag = choice.MenuTag())
    items_->actions()[*tag]->setChecked(true);
  else if (QAction* checked = items_->checkedAction())
    checked->setChecked(false);
  status_.SetPanelText(Panel::SubtitleFrameRate,
                       "Subtitle FrameRate:" + SubtitleRateText(timing_.Timing()));
}

}  // namespace captivo
