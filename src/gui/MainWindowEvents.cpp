// The main window's commands on how the events list shows its fights:
// grouped into encounters, small fights hidden.
#include <QAction>
#include <QLabel>
#include <QStatusBar>

#include "gui/Dialogs.h"
#include "gui/EventsPage.h"
#include "gui/FollowController.h"
#include "gui/MainWindow.h"
#include "gui/StatusLine.h"

namespace ombrel::gui {

namespace {

constexpr const char* kGrouped = "groupEncounters";
constexpr const char* kSmallDamage = "smallFightDamage";
constexpr const char* kSmallSeconds = "smallFightSeconds";

}  // namespace

void MainWindow::ConnectEventsView() {
  statusBar()->addPermanentWidget(events_page_->HiddenCount());
  QAction* grouped = (*menus_)[Command::kGroupEncounters];
  grouped->setChecked(memory_.Flag(kGrouped, false));
  events_page_->SetGrouped(grouped->isChecked());
  events_page_->SetLimits({memory_.Number(kSmallDamage, 0), memory_.Number(kSmallSeconds, 0)});
  // A followed log's append read on the worker is not to be read meanwhile.
  events_page_->Shown()->SetLogHeld([this] { return follow_->ReadingAppend(); });
  connect(grouped, &QAction::triggered, this, [this](bool checked) {
    if (busy_) {
      (*menus_)[Command::kGroupEncounters]->setChecked(!checked);
      return;
    }
    events_page_->SetGrouped(checked);
    memory_.SetFlag(kGrouped, checked);
  });
  connect((*menus_)[Command::kHideSmallFights], &QAction::triggered, this,
          &MainWindow::HideSmallFights);
}

void MainWindow::HideSmallFights() {
  if (busy_) return;
  const std::optional<SmallFightLimits> limits =
      dialogs_.SmallFights(this, events_page_->Shown()->Limits());
  if (!limits) return;
  events_page_->SetLimits(*limits);
  memory_.SetNumber(kSmallDamage, static_cast<int>(limits->damage));
  memory_.SetNumber(kSmallSeconds, static_cast<int>(limits->seconds));
  const size_t hidden = events_page_->Shown()->SmallHidden();
  status_->SetText(limits->HidesNothing() ? QStringLiteral("No fight is hidden.")
                                          : QStringLiteral("%1 of the fights hidden as small.")
                                                .arg(static_cast<qsizetype>(hidden)));
}

}  // namespace ombrel::gui
