#pragma once

#include <optional>

#include <QString>

class QWidget;

namespace ombrel::gui {

// The file dialogs and message boxes of the window, behind one seam so that
// the whole workflow runs offscreen under a fake.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // An open dialog starting with an empty file name; nothing when cancelled.
  // `filter` is a description with its patterns in parentheses, which match
  // in any letter case.
  virtual std::optional<QString> OpenFile(QWidget* parent, const QString& title,
                                          const QString& filter) = 0;
  // The same as a save dialog.
  virtual std::optional<QString> SaveFile(QWidget* parent, const QString& title,
                                          const QString& filter) = 0;
  // A message box with one OK button.
  virtual void Message(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The real dialogs.
class QtDialogs : public Dialogs {
 public:
  std::optional<QString> OpenFile(QWidget* parent, const QString& title,
                                  const QString& filter) override;
  std::optional<QString> SaveFile(QWidget* parent, const QString& title,
                                  const QString& filter) override;
  void Message(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace ombrel::gui
