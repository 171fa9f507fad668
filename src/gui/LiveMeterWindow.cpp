#include "gui/LiveMeterWindow.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QWindow>

#include "gui/Cp1252.h"
#include "gui/WindowMemory.h"
#include "report/SeriesColours.h"
#include "shared/Display.h"

namespace ombrel::gui {

namespace {

constexpr int kOpacities[] = {100, 90, 80, 70, 60, 50, 40, 30};
constexpr int kMargin = 6;
const QColor kBackground(0x20, 0x22, 0x26);
const QColor kText(0xf0, 0xf0, 0xf0);

bool UnderWayland() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace

LiveMeterWindow::LiveMeterWindow(const App& app, WindowMemory& memory, QAction* toggle,
                                 std::function<bool()> busy)
    : QWidget(nullptr), app_(app), memory_(memory), toggle_(toggle), busy_(std::move(busy)) {
  setObjectName(QStringLiteral("LiveMeter"));
  setWindowTitle(QStringLiteral("Live Meter"));
  // The program ends with its main window, whether the meter is open or not.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(300, 180);
  setMinimumSize(140, 60);
  frameless_ = memory_.Flag("meterFrameless", false);
  ApplyFlags();
  const QByteArray geometry = memory_.Bytes("meterGeometry");
  if (!geometry.isEmpty()) restoreGeometry(geometry);
  SetOpacityPercent(memory_.Number("meterOpacity", 100));
  QString tip = QStringLiteral(
      "The encounter in progress, or the last one: damage and damage per second of each "
      "combatant. Right-click for the opacity and the frame.");
  if (UnderWayland()) {
    note_ = QStringLiteral(
        "Under Wayland the desktop decides whether this stays on top and where "
        "it goes.");
    tip += QLatin1Char('\n') + note_;
  }
  setToolTip(tip);
  connect(toggle_, &QAction::toggled, this, &LiveMeterWindow::Shown);
}

void LiveMeterWindow::Shown(bool shown) {
  if (shown == isVisible()) return;
  if (!shown) {
    close();
    return;
  }
  show();
  raise();
  Refresh();
}

void LiveMeterWindow::Refresh() {
  if (!isVisible() || busy_()) return;
  bool changed = meter_.Update(app_.Log(), app_.settings());
  // The encounter goes on while one of its fights is open.
  bool live = false;
  for (const size_t row : app_.OpenEventRows()) {
    live = live || std::binary_search(meter_.Fights().begin(), meter_.Fights().end(),
                                      static_cast<int32_t>(row + 1));
  }
  changed = changed || live != live_;
  live_ = live;
  if (!changed) return;
  if (!meter_.Rows().empty()) note_.clear();
  update();
}

void LiveMeterWindow::SaveState() {
  memory_.SetBytes("meterGeometry", saveGeometry());
  memory_.SetNumber("meterOpacity", opacity_);
  memory_.SetFlag("meterFrameless", frameless_);
}

void LiveMeterWindow::SetOpacityPercent(int percent) {
  opacity_ = std::clamp(percent, 20, 100);
  setWindowOpacity(opacity_ / 100.0);
}

void LiveMeterWindow::SetFrameless(bool frameless) {
  if (frameless == frameless_) return;
  frameless_ = frameless;
  const QByteArray geometry = saveGeometry();
  const bool shown = isVisible();
  ApplyFlags();  // hides the window
  restoreGeometry(geometry);
  if (shown) show();
}

void LiveMeterWindow::ApplyFlags() {
  Qt::WindowFlags flags = Qt::Window | Qt::WindowStaysOnTopHint;
  if (frameless_) flags |= Qt::FramelessWindowHint;
  setWindowFlags(flags);
}

QString LiveMeterWindow::Header() const {
  if (meter_.Caption().empty()) return QStringLiteral("No fight yet");
  const int64_t s = meter_.Seconds();
  QString header = FromCp1252(meter_.Caption()) + QString::asprintf("  %lld:%02lld",
                                                                    static_cast<long long>(s / 60),
                                                                    static_cast<long long>(s % 60));
  if (live_) header += QStringLiteral("  (live)");
  return header;
}

QColor LiveMeterWindow::ColourOf(const std::string& name) {
  auto [it, added] = colours_.try_emplace(name);
  if (added) {
    const uint32_t rgb = kCombatantPalette[(colours_.size() - 1) % std::size(kCombatantPalette)];
    it->second = QColor::fromRgb(rgb);
  }
  return it->second;
}

void LiveMeterWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackground);
  painter.setPen(kText);
  QFont plain = font();
  QFont bold = plain;
  bold.setBold(true);
  const int line = QFontMetrics(bold).height() + 4;
  const QRect inside = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
  // The figures' columns: damage, then damage per second at the right.
  const int rate_width = QFontMetrics(bold).horizontalAdvance(QStringLiteral("00,000.00"));
  const QRect head(inside.left(), inside.top(), inside.width(), line);
  painter.setFont(plain);
  painter.drawText(head.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("DPS"));
  painter.drawText(head.adjusted(0, 0, -4 - rate_width - 6, 0), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Damage"));
  const int header_room = head.width() - rate_width -
                          painter.fontMetrics().horizontalAdvance(QStringLiteral("Damage")) - 16;
  painter.setFont(bold);
  painter.drawText(
      QRect(head.left(), head.top(), std::max(header_room, 0), head.height()),
      Qt::AlignLeft | Qt::AlignVCenter,
      painter.fontMetrics().elidedText(Header(), Qt::ElideRight, std::max(header_room, 0)));
  int bottom = inside.bottom();
  if (!note_.isEmpty()) {
    painter.setFont(plain);
    const QRect note = painter.boundingRect(inside, Qt::AlignBottom | Qt::TextWordWrap, note_);
    painter.drawText(note, Qt::AlignBottom | Qt::TextWordWrap, note_);
    bottom = note.top() - 2;
  }

  const std::vector<MeterRow>& rows = meter_.Rows();
  const int64_t most = rows.empty() ? 1 : std::max<int64_t>(rows.front().Damage, 1);
  int y = inside.top() + line;
  for (size_t i = 0; i < rows.size() && y + line <= bottom + 1; ++i, y += line) {
    const MeterRow& row = rows[i];
    const QRect cell(inside.left(), y + 1, inside.width(), line - 2);
    const int length =
        static_cast<int>(static_cast<double>(cell.width()) * static_cast<double>(row.Damage) /
                         static_cast<double>(most));
    QColor colour = ColourOf(row.Name);
    colour.setAlpha(row.Own ? 230 : 170);
    painter.fillRect(QRect(cell.left(), cell.top(), length, cell.height()), colour);
    painter.setFont(row.Own ? bold : plain);
    if (row.Own) {
      painter.setPen(QPen(kText, 2));
      painter.drawRect(cell.adjusted(1, 1, -1, -1));
    }
    painter.setPen(kText);
    const QRect text = cell.adjusted(4, 0, -4, 0);
    painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromStdString(display::Fixed2(row.Dps)));
    const QString damage = QString::fromStdString(display::Grouped(row.Damage));
    painter.drawText(text.adjusted(0, 0, -rate_width - 6, 0), Qt::AlignRight | Qt::AlignVCenter,
                     damage);
    const int room =
        text.width() - rate_width - 6 - painter.fontMetrics().horizontalAdvance(damage) - 8;
    const QString name = QString::number(i + 1) + QStringLiteral(". ") + FromCp1252(row.Name);
    painter.drawText(QRect(text.left(), text.top(), std::max(room, 0), text.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(name, Qt::ElideRight, std::max(room, 0)));
  }
}

void LiveMeterWindow::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QMenu* opacity = menu.addMenu(QStringLiteral("&Opacity"));
  auto* group = new QActionGroup(opacity);
  for (const int percent : kOpacities) {
    QAction* item = opacity->addAction(QStringLiteral("%1 %").arg(percent));
    item->setCheckable(true);
    item->setChecked(percent == opacity_);
    group->addAction(item);
    connect(item, &QAction::triggered, this, [this, percent] { SetOpacityPercent(percent); });
  }
  QAction* frameless = menu.addAction(QStringLiteral("&No Frame"));
  frameless->setCheckable(true);
  frameless->setChecked(frameless_);
  connect(frameless, &QAction::toggled, this, &LiveMeterWindow::SetFrameless);
  menu.addSeparator();
  connect(menu.addAction(QStringLiteral("&Close")), &QAction::triggered, this, &QWidget::close);
  menu.exec(event->globalPos());
}

void LiveMeterWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  // The desktop moves the window where it can (Wayland, X11); else it
  // follows the mouse.
  if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return;
  drag_from_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void LiveMeterWindow::mouseMoveEvent(QMouseEvent* event) {
  if (drag_from_ && (event->buttons() & Qt::LeftButton))
    move(event->globalPosition().toPoint() - *drag_from_);
}

void LiveMeterWindow::mouseReleaseEvent(QMouseEvent*) {
  drag_from_.reset();
}

void LiveMeterWindow::closeEvent(QCloseEvent* event) {
  SaveState();
  const QSignalBlocker quiet(toggle_);
  toggle_->setChecked(false);
  event->accept();
}

}  // namespace ombrel::gui
