#include "gui/StatusLine.h"

#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStringList>

#include "gui/Cp1252.h"
#include "gui/Paths.h"
#include "gui/Twips.h"

namespace ombrel::gui {

namespace {

QString Number(int64_t n) {
  return QLocale().toString(static_cast<qlonglong>(n));
}

}  // namespace

StatusLine::StatusLine(QStatusBar* bar, const App& app) : app_(app) {
  text_ = new QLabel(bar);
  text_->setObjectName(QStringLiteral("StatusText"));
  // A long text is cut at the window's edge rather than widening the window.
  text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  bar->addWidget(text_, 1);
  // Beside the figures, visible only while a parse runs, whichever page shows.
  progress_ = new QProgressBar(bar);
  progress_->setObjectName(QStringLiteral("ParseProgress"));
  progress_->setRange(0, 100);
  progress_->setMaximumWidth(TwipsToPixels(3000, bar->font()));
  progress_->hide();
  cancel_ = new QPushButton(QStringLiteral("Cancel"), bar);
  cancel_->setObjectName(QStringLiteral("CancelParse"));
  cancel_->setToolTip(QStringLiteral("Stop the parse; the earlier results stay (Esc)"));
  cancel_->hide();
  rules_button_ = new QPushButton(QStringLiteral("Use E&xtended Rules"), bar);
  rules_button_->setObjectName(QStringLiteral("UseExtendedRules"));
  rules_button_->setToolTip(
      QStringLiteral("Choose the extended line rules and parse the log again"));
  rules_button_->hide();
  bar->addPermanentWidget(rules_button_);
  bar->addPermanentWidget(progress_);
  bar->addPermanentWidget(cancel_);
}

QString StatusLine::Text() const {
  return text_->text();
}

void StatusLine::SetText(const QString& text) {
  text_->setText(text);
  // The whole text, should the window be too narrow for it.
  text_->setToolTip(text);
}

void StatusLine::ShowWithWrittenFiles(const QString& figures) {
  const std::vector<std::filesystem::path>& written = app_.WrittenFiles();
  if (written.empty()) {
    if (!figures.isEmpty()) SetText(figures);
    return;
  }
  QStringList names;
  for (const std::filesystem::path& path : written)
    names << QDir::toNativeSeparators(FromPath(path));
  const QString wrote = QStringLiteral("Wrote %1.").arg(names.join(QStringLiteral(", ")));
  SetText(figures.isEmpty() ? wrote : figures + QLatin1Char(' ') + wrote);
}

void StatusLine::ShowProgress(bool shown) {
  progress_->setValue(0);
  progress_->setVisible(shown);
  cancel_->setVisible(shown);
}

void StatusLine::SetProgress(int percent) {
  progress_->setValue(percent);
}

QString StatusLine::RunText(const QString& log) const {
  const ParsedRun& last = app_.LastRun();
  const QString figures =
      QStringLiteral("%1 lines, %2 records, %3 unreadable lines")
          .arg(Number(last.lines), Number(last.records), Number(last.unreadable_lines));
  // A file without a single time stamp is no combat log (its empty event is
  // listed all the same).
  if (last.signs && last.signs->stamped_lines == 0 && last.records == 0)
    return QStringLiteral("%1 does not look like a combat log: no line holds a time stamp (%2).")
        .arg(log, figures);
  // A log without a fight still lists the empty event; the status bar says why.
  if (app_.LastParseFoundNoFight()) {
    return QStringLiteral("No fight found in %1 for %2: %3.")
        .arg(log, FromCp1252(app_.settings().CharacterName), figures);
  }
  return QStringLiteral("%1: %2, %3 events.").arg(log, figures, Number(last.fights));
}

QString StatusLine::RulesHint() const {
  const std::optional<LineSigns>& signs = app_.LastRun().signs;
  if (!signs || !signs->FavourExtendedRules()) return {};
  QStringList seen;
  if (const int64_t n = signs->case_pairs; n > 0) {
    seen << (n == 1 ? QStringLiteral("1 name") : QStringLiteral("%1 names").arg(Number(n))) +
                QStringLiteral(" with both a capital and a small first letter");
  }
  if (const int64_t n = signs->extended_lines; n > 0) {
    seen << (n == 1 ? QStringLiteral("1 damage line")
                    : QStringLiteral("%1 damage lines").arg(Number(n))) +
                QStringLiteral(" the default rules cannot read");
  }
  return QStringLiteral("Better read with the extended rules: ") + seen.join(QStringLiteral(", ")) +
         QLatin1Char('.');
}

void StatusLine::OfferExtendedRules(bool offered) {
  rules_button_->setVisible(offered);
}

QString StatusLine::FollowText(const QString& log) const {
  const ParsedRun& last = app_.LastRun();
  QStringList open;
  const TextTable& events = app_.EventsList();
  for (const size_t row : app_.OpenEventRows())
    open << FromCp1252(CellAt(events, row, EventsColumn::kMob)) + QStringLiteral(" (live)");
  QString text = QStringLiteral("Following %1: %2 lines, %3 events.")
                     .arg(log, Number(last.lines), Number(last.fights));
  if (!open.isEmpty()) text += QLatin1Char(' ') + open.join(QStringLiteral(", "));
  return text;
}

}  // namespace ombrel::gui
