#include "batch/JsonReport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <utility>

#include "shared/Cp1252.h"
#include "shared/DateTime.h"
#include "shared/Display.h"

namespace ombrel {
namespace {

using json = nlohmann::ordered_json;  // keys in the order of the columns

// Log bytes (Windows-1252) as UTF-8; every byte has its character.
std::string Utf8Of(std::string_view cp1252) {
  std::string utf8;
  utf8.reserve(cp1252.size());
  for (const char byte : cp1252) {
    const char16_t c = Cp1252ToUnicode(static_cast<unsigned char>(byte));
    if (c < 0x80) {
      utf8.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      utf8.push_back(static_cast<char>(0xE0 | (c >> 12)));
      utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return utf8;
}

std::string IsoDateTime(DateTime t) {
  const CivilTime c = t.ToCivil();
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", c.year, c.month, c.day, c.hour,
                c.minute, c.second);
  return text;
}

// A number cell as the list shows it ("1,234", "22.67", ".50", "85.43%", "");
// the values of a `decimal` column are written with a fraction, whole ones too.
json NumberOf(std::string_view text, bool decimal) {
  if (!text.empty() && text.back() == '%') text.remove_suffix(1);
  if (text.empty()) return decimal ? json(0.0) : json(0);
  if (decimal) {
    if (const auto value = display::ReadDecimal(text)) return *value;
  } else if (const auto value = display::ReadWholeNumber(text)) {
    return *value;
  }
  return std::string(text);  // no list shows such a cell
}

enum class CellKind { kText, kDate, kWhole, kDecimal };

CellKind KindOf(EventsColumn column) {
  using C = EventsColumn;
  switch (column) {
    case C::kMob:
      return CellKind::kText;
    case C::kStart:
    case C::kEnd:
      return CellKind::kDate;
    case C::kDPSTaken:
    case C::kDPSDealt:
    case C::kAveHitTaken:
    case C::kAveHitDealt:
      return CellKind::kDecimal;
    default:
      return CellKind::kWhole;
  }
}

CellKind KindOf(EventDetailColumn column) {
  using C = EventDetailColumn;
  switch (column) {
    case C::kDamageBy:
      return CellKind::kText;
    case C::kStart:
    case C::kEnd:
      return CellKind::kDate;
    case C::kDPSDealt:
    case C::kADPSDealt:
    case C::kDPSTaken:
    case C::kAccuracy:
    case C::kEvasion:
    case C::kDefense:
    case C::kCritRate:
      return CellKind::kDecimal;
    default:
      return CellKind::kWhole;
  }
}

// Each column's key and kind.
template <typename Column, size_t N>
std::vector<std::pair<std::string, CellKind>> Layout(const ListColumn (&columns)[N]) {
  std::vector<std::pair<std::string, CellKind>> layout;
  for (const ListColumn& column : columns) {
    layout.emplace_back(JsonKey(column.header), KindOf(static_cast<Column>(column.position)));
  }
  return layout;
}

json CellOf(CellKind kind, std::string_view text) {
  switch (kind) {
    case CellKind::kText:
      return Utf8Of(text);
    case CellKind::kDate:
      if (const auto date = display::ReadDateTime(text)) return IsoDateTime(*date);
      return Utf8Of(text);
    case CellKind::kWhole:
      return NumberOf(text, false);
    case CellKind::kDecimal:
      return NumberOf(text, true);
  }
  return nullptr;
}

}  // namespace

std::string JsonKey(std::string_view header) {
  std::string key;
  for (size_t i = 0; i < header.size(); ++i) {
    const auto c = static_cast<unsigned char>(header[i]);
    if (c == ' ') {
      if (!key.empty() && key.back() != '_') key.push_back('_');
      continue;
    }
    // A capital starts a word after a small letter, and ends a run of
    // capitals when a small letter follows it ("DPSTaken").
    if (std::isupper(c) && i > 0 && !key.empty() && key.back() != '_') {
      const auto before = static_cast<unsigned char>(header[i - 1]);
      const bool small_next =
          i + 1 < header.size() && std::islower(static_cast<unsigned char>(header[i + 1]));
      if (std::islower(before) || (std::isupper(before) && small_next)) key.push_back('_');
    }
    key.push_back(static_cast<char>(std::tolower(c)));
  }
  return key;
}

void WriteJsonReport(std::ostream& out, const JsonReport& report) {
  json document = json::object();
  document["log"] = std::string(report.log);
  document["lines"] = report.lines;
  document["files"] = json::array();
  for (const std::string& file : report.files) document["files"].push_back(file);
  const bool detail = !report.events.empty();
  document["table"] = detail ? "event_detail" : "events";
  if (detail) document["event"] = report.events.front();
  if (report.events.size() > 1) document["events"] = report.events;

  const TextTable& list = *report.list;
  const auto layout = detail ? Layout<EventDetailColumn>(kEventDetailColumns)
                             : Layout<EventsColumn>(kEventsColumns);
  const size_t count = std::min(layout.size(), list.Columns());
  json rows = json::array();
  for (size_t r = 0; r < list.Rows(); ++r) {
    json row = json::object();
    for (size_t c = 0; c < count; ++c) {
      row[layout[c].first] = CellOf(layout[c].second, list.Cell(r, c));
    }
    rows.push_back(std::move(row));
  }
  document["rows"] = std::move(rows);
  // A path that is no UTF-8 keeps its readable part; the texts from the log
  // are UTF-8 already.
  out << document.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
}

}  // namespace ombrel
