#pragma once

#include <optional>

#include <QString>

#include "gui/SmallFights.h"

class QWidget;

namespace ombrel::gui {

// The file dialogs and message boxes of the window, behind one seam so that
// the whole workflow runs offscreen under a fake.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // An open dialog starting in `folder` (the current folder when empty) with
  // an empty file name; nothing when cancelled. `filter` holds descriptions
  // with their patterns in parentheses, separated by ";;"; the patterns match
  // in any letter case.
  virtual std::optional<QString> OpenFile(QWidget* parent, const QString& title,
                                          const QString& filter, const QString& folder) = 0;
  // The same as a save dialog; `folder` may end in a file name to propose. A
  // name typed without an extension takes that of the type chosen.
  virtual std::optional<QString> SaveFile(QWidget* parent, const QString& title,
                                          const QString& filter, const QString& folder) = 0;
  // A folder chooser starting at `folder`; nothing when cancelled.
  virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                              const QString& folder) = 0;
  // A message box with one OK button.
  virtual void Message(QWidget* parent, const QString& title, const QString& text) = 0;
  // View > Hide Small Fights: the limits, starting from `limits`; nothing
  // when cancelled.
  virtual std::optional<SmallFightLimits> SmallFights(QWidget* parent,
                                                      const SmallFightLimits& limits) = 0;
};

// The real dialogs.
class QtDialogs : public Dialogs {
 public:
  std::optional<QString> OpenFile(QWidget* parent, const QString& title, const QString& filter,
                                  const QString& folder) override;
  std::optional<QString> SaveFile(QWidget* parent, const QString& title, const QString& filter,
                                  const QString& folder) override;
  std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                      const QString& folder) override;
  void Message(QWidget* parent, const QString& title, const QString& text) override;
  std::optional<SmallFightLimits> SmallFights(QWidget* parent,
                                              const SmallFightLimits& limits) override;
};

}  // namespace ombrel::gui
