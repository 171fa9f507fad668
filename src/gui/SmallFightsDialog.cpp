// View > Hide Small Fights: the dialog that asks the limits.
#include <climits>

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include "gui/Dialogs.h"

namespace ombrel::gui {

std::optional<SmallFightLimits> QtDialogs::SmallFights(QWidget* parent,
                                                       const SmallFightLimits& limits) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("SmallFightsDialog"));
  dialog.setWindowTitle(QStringLiteral("Hide Small Fights"));
  auto* form = new QFormLayout(&dialog);
  auto spin = [&](const char* name, int64_t value, const QString& suffix) {
    auto* box = new QSpinBox(&dialog);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, INT_MAX);
    box->setValue(static_cast<int>(std::min<int64_t>(value, INT_MAX)));
    box->setSuffix(suffix);
    box->setSpecialValueText(QStringLiteral("none"));
    return box;
  };
  QSpinBox* damage = spin("SmallFightDamage", limits.damage, QString());
  QSpinBox* seconds = spin("SmallFightSeconds", limits.seconds, QStringLiteral(" s"));
  form->addRow(QStringLiteral("Damage taken plus dealt at least:"), damage);
  form->addRow(QStringLiteral("Duration at least:"), seconds);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return SmallFightLimits{damage->value(), seconds->value()};
}

}  // namespace ombrel::gui
