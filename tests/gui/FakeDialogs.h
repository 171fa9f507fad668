#pragma once

#include <deque>
#include <optional>
#include <vector>

#include <QString>

#include "gui/Dialogs.h"

namespace ombrel::gui::testing {

// Answers the file dialogs from queues (an empty queue cancels) and records
// every dialog the window opened.
class FakeDialogs : public Dialogs {
 public:
  struct Shown {
    QString kind;  // "open", "save" or "message"
    QString title;
    QString text;    // the filter of a file dialog, the text of a message
    QString folder;  // where a file or folder dialog started
  };

  std::deque<QString> open_answers;
  std::deque<QString> save_answers;
  std::deque<QString> folder_answers;
  std::deque<SmallFightLimits> small_fight_answers;
  std::vector<Shown> shown;

  std::optional<QString> OpenFile(QWidget*, const QString& title, const QString& filter,
                                  const QString& folder) override {
    shown.push_back({QStringLiteral("open"), title, filter, folder});
    return Pop(open_answers);
  }
  std::optional<QString> SaveFile(QWidget*, const QString& title, const QString& filter,
                                  const QString& folder) override {
    shown.push_back({QStringLiteral("save"), title, filter, folder});
    return Pop(save_answers);
  }
  std::optional<QString> ChooseFolder(QWidget*, const QString& title,
                                      const QString& folder) override {
    shown.push_back({QStringLiteral("folder"), title, QString(), folder});
    return Pop(folder_answers);
  }
  void Message(QWidget*, const QString& title, const QString& text) override {
    shown.push_back({QStringLiteral("message"), title, text, QString()});
  }

  std::optional<SmallFightLimits> SmallFights(QWidget*, const SmallFightLimits&) override {
    shown.push_back({QStringLiteral("small fights"), {}, {}, {}});
    if (small_fight_answers.empty()) return std::nullopt;
    const SmallFightLimits answer = small_fight_answers.front();
    small_fight_answers.pop_front();
    return answer;
  }

  // The last dialog as "kind|title|text".
  QString Last() const {
    return shown.empty() ? QString()
                         : shown.back().kind + "|" + shown.back().title + "|" + shown.back().text;
  }

  std::vector<Shown> Messages() const {
    std::vector<Shown> messages;
    for (const Shown& s : shown) {
      if (s.kind == QStringLiteral("message")) messages.push_back(s);
    }
    return messages;
  }

 private:
  static std::optional<QString> Pop(std::deque<QString>& answers) {
    if (answers.empty()) return std::nullopt;
    QString answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace ombrel::gui::testing
