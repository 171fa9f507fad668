#include "gui/HealingPage.h"

#include <array>

#include <QCheckBox>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/LifeLayouts.h"
#include "gui/WindowMemory.h"

namespace ombrel::gui {

HealingPage::HealingPage(App& app, WindowMemory& memory, QWidget* parent)
    : QGroupBox(parent), app_(app), memory_(memory) {
  setObjectName(QStringLiteral("Frame1(5)"));
  auto* box = new QVBoxLayout(this);
  whole_log_ = new QCheckBox(QStringLiteral("&Whole log"), this);
  whole_log_->setObjectName(QStringLiteral("chkHealingWholeLog"));
  whole_log_->setToolTip(QStringLiteral("The heals of the whole log, not of the chosen fight"));
  box->addWidget(whole_log_);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("HealingTabs"));
  box->addWidget(tabs_, 1);

  // The healers over what the chosen one healed, by target and by spell.
  healer_split_ = InsetSplit(Qt::Vertical, "HealerSplit", tabs_);
  healers_ = InsetList(kHealersList, app_, healer_split_);
  healer_split_->addWidget(healers_);
  detail_split_ = InsetSplit(Qt::Horizontal, "HealerDetailSplit", healer_split_);
  by_target_ = InsetList(kHealingByTargetList, app_, detail_split_);
  by_spell_ = InsetList(kHealingBySpellList, app_, detail_split_);
  detail_split_->addWidget(by_target_);
  detail_split_->addWidget(by_spell_);
  healer_split_->addWidget(detail_split_);
  tabs_->addTab(healer_split_, QStringLiteral("&By Healer"));

  // The heals each target received over the chosen target's healers.
  received_split_ = InsetSplit(Qt::Vertical, "ReceivedSplit", tabs_);
  targets_ = InsetList(kHealedTargetsList, app_, received_split_);
  target_healers_ = InsetList(kTargetHealersList, app_, received_split_);
  received_split_->addWidget(targets_);
  received_split_->addWidget(target_healers_);
  tabs_->addTab(received_split_, QStringLiteral("&Received"));

  for (ListPage* list : Lists()) {
    list->RestoreColumns(memory_);
    connect(list, &ListPage::Said, this, &HealingPage::Said);
  }
  for (QSplitter* split : {healer_split_, detail_split_, received_split_}) {
    const QByteArray state = memory_.Bytes(qPrintable(split->objectName()));
    if (!state.isEmpty()) split->restoreState(state);
  }
  tabs_->setCurrentIndex(memory_.Number("healingTab", 0) == 1 ? 1 : 0);
  connect(tabs_, &QTabWidget::currentChanged, this,
          [this](int index) { memory_.SetNumber("healingTab", index); });

  connect(healers_, &ListPage::CurrentRowChanged, this, [this](int row) {
    const std::array<ListPage*, 2> changed{by_target_, by_spell_};
    ChangeLists(changed, [this, row] { app_.Life().SelectHealer(static_cast<size_t>(row)); });
  });
  connect(targets_, &ListPage::CurrentRowChanged, this, [this](int row) {
    ListPage* changed = target_healers_;
    ChangeLists(std::span(&changed, 1),
                [this, row] { app_.Life().SelectTarget(static_cast<size_t>(row)); });
  });
}

std::vector<ListPage*> HealingPage::Lists() const {
  return {healers_, by_target_, by_spell_, targets_, target_healers_};
}

void HealingPage::SaveLayout() const {
  for (ListPage* list : Lists()) list->SaveColumns(memory_);
  for (QSplitter* split : {healer_split_, detail_split_, received_split_})
    memory_.SetBytes(qPrintable(split->objectName()), split->saveState());
}

}  // namespace ombrel::gui
