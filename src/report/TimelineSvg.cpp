#include "report/TimelineSvg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "shared/Display.h"

namespace ombrel {
namespace {

// Picture size and the plot area inside it; the legend sits right of the plot.
constexpr double kWidth = 960;
constexpr double kHeight = 540;
constexpr double kPlotLeft = 80;
constexpr double kPlotRight = 720;
constexpr double kPlotTop = 70;
constexpr double kPlotBottom = 470;
constexpr double kLegendLeft = 740;
constexpr double kLegendTop = 80;
constexpr double kLegendLineHeight = 22;
// Names longer than this are cut in the legend, which has a fixed width.
constexpr size_t kLegendNameLength = 26;

constexpr uint32_t kCombatantPalette[] = {0x1f77b4, 0xff7f0e, 0x2ca02c, 0x9467bd,
                                          0x8c564b, 0xe377c2, 0x17becf, 0xbcbd22};
constexpr uint32_t kOthersRgb = 0x7f7f7f;
constexpr uint32_t kOpponentRgb = 0xd62728;

// Text and attribute values: the markup characters become entities, and the
// control characters XML cannot hold become the replacement character.
void AppendXmlText(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "&#xFFFD;";
        } else {
          out.push_back(c);
        }
    }
  }
}

std::string XmlText(std::string_view text) {
  std::string out;
  AppendXmlText(out, text);
  return out;
}

// Coordinates with one decimal, whatever the C locale says.
std::string Number(double value) {
  char buffer[32];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  if (text.ends_with(".0")) text.resize(text.size() - 2);
  if (text == "-0") text = "0";
  return text;
}

std::string RgbText(uint32_t rgb) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text = "#";
  for (int shift = 20; shift >= 0; shift -= 4) text.push_back(kHex[(rgb >> shift) & 0xF]);
  return text;
}

std::string TickText(double value) {
  const auto whole = static_cast<int64_t>(std::llround(value));
  if (std::fabs(value - static_cast<double>(whole)) < 1e-9) {
    return whole == 0 ? "0" : display::Grouped(whole);
  }
  return display::Fixed2(value);
}

double NiceStep(double range, int wanted, bool seconds) {
  const double raw = range / std::max(wanted, 1);
  if (seconds) {
    for (double step :
         {1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 900.0, 1800.0, 3600.0}) {
      if (step >= raw) return step;
    }
    return 3600.0 * NiceStep(raw / 3600.0 * std::max(wanted, 1), wanted, false);
  }
  if (raw <= 0) return 1;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0}) {
    if (m * magnitude >= raw) return m * magnitude;
  }
  return 10 * magnitude;
}

}  // namespace

uint32_t TimelineSeriesRgb(const DpsChart& chart, size_t index) {
  if (index >= chart.Series.size()) return kOthersRgb;
  switch (chart.Series[index].Kind) {
    case SeriesKind::kOthers:
      return kOthersRgb;
    case SeriesKind::kOpponent:
      return kOpponentRgb;
    case SeriesKind::kCombatant:
      break;
  }
  return kCombatantPalette[index % std::size(kCombatantPalette)];
}

std::vector<double> AxisTicks(double low, double high, int wanted, bool seconds) {
  std::vector<double> ticks;
  if (!(high > low)) return {low};
  const double step = NiceStep(high - low, wanted, seconds);
  for (double v = std::ceil(low / step) * step; v <= high + step * 1e-9; v += step) {
    ticks.push_back(std::fabs(v) < step * 1e-9 ? 0.0 : v);
  }
  return ticks;
}

void WriteTimelineSvg(std::ostream& out, const Timeline& timeline, const DpsChart& chart) {
  // Axis ranges: the chart's seconds, and 0 up to a round value above the peak.
  const double x_low = static_cast<double>(chart.FirstSecond);
  const double x_high =
      std::max(x_low + 1,
               static_cast<double>(chart.SecondOfPoint(chart.Points == 0 ? 0 : chart.Points - 1)));
  const double y_step = NiceStep(std::max(chart.Peak(), 1.0), 5, false);
  const double y_high = std::max(1.0, std::ceil(chart.Peak() / y_step)) * y_step;
  const auto x_of = [&](double second) {
    return kPlotLeft + (second - x_low) / (x_high - x_low) * (kPlotRight - kPlotLeft);
  };
  const auto y_of = [&](double dps) {
    return kPlotBottom - dps / y_high * (kPlotBottom - kPlotTop);
  };

  std::string svg;
  svg += "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(kWidth) + "\" height=\"" +
         Number(kHeight) + "\" viewBox=\"0 0 " + Number(kWidth) + " " + Number(kHeight) +
         "\" font-family=\"Arial, Helvetica, sans-serif\" font-size=\"12\">\n";
  const std::string title =
      XmlText(timeline.Opponent) + ", " + display::DateTimeText(timeline.Start);
  svg += "<title>Damage per second: " + title + "</title>\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  svg += "<text x=\"" + Number(kWidth / 2) +
         "\" y=\"28\" text-anchor=\"middle\" font-size=\"18\" font-weight=\"bold\">" + title +
         "</text>\n";
  svg += "<text x=\"" + Number(kWidth / 2) +
         "\" y=\"50\" text-anchor=\"middle\" fill=\"#444444\">" +
         "Damage per second over a moving window of " + std::to_string(chart.WindowSeconds) +
         (chart.WindowSeconds == 1 ? " second" : " seconds") + "</text>\n";

  // Grid and ticks of the damage axis.
  svg += "<g class=\"y-axis\" stroke=\"#dddddd\">\n";
  std::string labels;
  for (double v : AxisTicks(0, y_high, 5, false)) {
    const std::string y = Number(y_of(v));
    svg += "<line x1=\"" + Number(kPlotLeft) + "\" y1=\"" + y + "\" x2=\"" + Number(kPlotRight) +
           "\" y2=\"" + y + "\"/>\n";
    labels += "<text x=\"" + Number(kPlotLeft - 8) + "\" y=\"" + Number(y_of(v) + 4) +
              "\" text-anchor=\"end\">" + TickText(v) + "</text>\n";
  }
  svg += "</g>\n<g class=\"y-labels\">\n" + labels + "</g>\n";
  // Ticks of the seconds axis.
  svg += "<g class=\"x-axis\" stroke=\"#000000\">\n";
  labels.clear();
  for (double s : AxisTicks(x_low, x_high, 8, true)) {
    const std::string x = Number(x_of(s));
    svg += "<line x1=\"" + x + "\" y1=\"" + Number(kPlotBottom) + "\" x2=\"" + x + "\" y2=\"" +
           Number(kPlotBottom + 6) + "\"/>\n";
    labels += "<text x=\"" + x + "\" y=\"" + Number(kPlotBottom + 20) +
              "\" text-anchor=\"middle\">" + TickText(s) + "</text>\n";
  }
  svg += "</g>\n<g class=\"x-labels\">\n" + labels + "</g>\n";
  // Axis lines and their titles.
  svg += "<path d=\"M" + Number(kPlotLeft) + " " + Number(kPlotTop) + "V" + Number(kPlotBottom) +
         "H" + Number(kPlotRight) + "\" fill=\"none\" stroke=\"#000000\"/>\n";
  svg += "<text x=\"" + Number((kPlotLeft + kPlotRight) / 2) + "\" y=\"" +
         Number(kPlotBottom + 46) + "\" text-anchor=\"middle\">Seconds from the start</text>\n";
  svg += "<text transform=\"translate(22 " + Number((kPlotTop + kPlotBottom) / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">Damage per second</text>\n";

  // The series, the opponent's drawn dashed.
  svg += "<g class=\"series\" fill=\"none\" stroke-width=\"1.8\" stroke-linejoin=\"round\">\n";
  for (size_t i = 0; i < chart.Series.size(); ++i) {
    const DpsSeries& series = chart.Series[i];
    svg += "<polyline stroke=\"" + RgbText(TimelineSeriesRgb(chart, i)) + "\"";
    if (series.Kind == SeriesKind::kOpponent) svg += " stroke-dasharray=\"6 3\"";
    svg += " points=\"";
    for (size_t p = 0; p < series.Values.size(); ++p) {
      if (p != 0) svg += ' ';
      svg += Number(x_of(static_cast<double>(chart.SecondOfPoint(p)))) + "," +
             Number(y_of(series.Values[p]));
    }
    svg += "\"><title>";
    AppendXmlText(svg, series.Name);
    svg += "</title></polyline>\n";
  }
  svg += "</g>\n";

  // The legend, in series order.
  svg += "<g class=\"legend\">\n";
  for (size_t i = 0; i < chart.Series.size(); ++i) {
    const DpsSeries& series = chart.Series[i];
    const double y = kLegendTop + kLegendLineHeight * static_cast<double>(i);
    svg += "<line x1=\"" + Number(kLegendLeft) + "\" y1=\"" + Number(y) + "\" x2=\"" +
           Number(kLegendLeft + 24) + "\" y2=\"" + Number(y) + "\" stroke=\"" +
           RgbText(TimelineSeriesRgb(chart, i)) + "\" stroke-width=\"3\"";
    if (series.Kind == SeriesKind::kOpponent) svg += " stroke-dasharray=\"6 3\"";
    svg += "/>\n";
    std::string name = series.Name;
    if (name.size() > kLegendNameLength) name = name.substr(0, kLegendNameLength - 3) + "...";
    svg += "<text x=\"" + Number(kLegendLeft + 32) + "\" y=\"" + Number(y + 4) + "\">";
    AppendXmlText(svg, name);
    svg += "</text>\n";
  }
  svg += "</g>\n</svg>\n";
  out.write(svg.data(), static_cast<std::streamsize>(svg.size()));
}

}  // namespace ombrel
