#include "report/TimelineSvg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "report/HtmlEscape.h"
#include "report/SeriesColours.h"
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
constexpr double kLegendTextLeft = kLegendLeft + 32;
constexpr double kFontSize = 12;
constexpr double kTitleFontSize = 18;
// Texts that are not drawn (tooltips) are cut at this many characters.
constexpr size_t kTooltipLength = 200;

// Text and attribute values: the markup characters become entities, and the
// control characters XML cannot hold become the replacement character. The
// five bytes that Windows-1252 leaves unassigned are written as the control
// characters of the same number, as the window shows them, since not every
// XML reader decodes them.
void AppendXmlText(std::string& out, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '&' || c == '<' || c == '>' || c == '"') {
      AppendHtmlEscaped(out, std::string_view(&c, 1));
    } else if (byte < 0x20) {
      out += "&#xFFFD;";
    } else if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "&#x";
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0xF]);
      out.push_back(';');
    } else {
      out.push_back(c);
    }
  }
}

// Advance widths of the printable ASCII characters in Arial (and its metric
// twins), in thousandths of the font size; other characters count a full em,
// which no Latin-1 letter exceeds.
constexpr int16_t kAsciiWidths[95] = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // ' ' to '/'
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // '0' to '?'
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // '@' to 'O'
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // 'P' to '_'
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // '`' to 'o'
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};      // 'p' to '~'

int CharacterWidth(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte < 0x7F ? kAsciiWidths[byte - 0x20] : 1000;
}

// `text` as it fits into `width` pixels at `font_size` (bold text taken as a
// tenth wider): whole, or cut with "..." after it.
std::string FitText(std::string_view text, double width, double font_size, bool bold = false) {
  const double budget = width / font_size * 1000 / (bold ? 1.1 : 1.0);
  constexpr std::string_view kEllipsis = "...";
  const double ellipsis = 3 * CharacterWidth('.');
  double used = 0;
  size_t fits_with_ellipsis = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    used += CharacterWidth(text[i]);
    if (used > budget)
      return std::string(text.substr(0, fits_with_ellipsis)) + std::string(kEllipsis);
    if (used + ellipsis <= budget) fits_with_ellipsis = i + 1;
  }
  return std::string(text);
}

std::string Tooltip(std::string_view text) {
  if (text.size() <= kTooltipLength) return std::string(text);
  return std::string(text.substr(0, kTooltipLength - 3)) + "...";
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

// Whole tick values grouped ("1,500"); when a step is fractional every value
// gets two decimals, so that the labels of one axis look alike.
std::vector<std::string> TickTexts(const std::vector<double>& ticks) {
  const bool whole = std::all_of(ticks.begin(), ticks.end(),
                                 [](double v) { return std::fabs(v - std::round(v)) < 1e-9; });
  std::vector<std::string> texts;
  for (double v : ticks) {
    const auto rounded = static_cast<int64_t>(std::llround(v));
    texts.push_back(!whole ? display::Fixed2(v) : rounded == 0 ? "0" : display::Grouped(rounded));
  }
  return texts;
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
         "\" font-family=\"Arial, Helvetica, 'Liberation Sans', sans-serif\" font-size=\"" +
         Number(kFontSize) + "\">\n";
  const std::string started = ", " + display::DateTimeText(timeline.Start);
  svg +=
      "<title>Damage per second: " + XmlText(Tooltip(timeline.Opponent)) + started + "</title>\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  svg += "<text x=\"" + Number(kWidth / 2) + "\" y=\"28\" text-anchor=\"middle\" font-size=\"" +
         Number(kTitleFontSize) + "\" font-weight=\"bold\">" +
         XmlText(FitText(timeline.Opponent, kWidth - 300, kTitleFontSize, true)) + started +
         "</text>\n";
  svg += "<text x=\"" + Number(kWidth / 2) +
         "\" y=\"50\" text-anchor=\"middle\" fill=\"#444444\">" +
         "Damage per second over a moving window of " + std::to_string(chart.WindowSeconds) +
         (chart.WindowSeconds == 1 ? " second" : " seconds") + "</text>\n";

  // Grid and ticks of the damage axis.
  svg += "<g class=\"y-axis\" stroke=\"#dddddd\">\n";
  std::string labels;
  const std::vector<double> y_ticks = AxisTicks(0, y_high, 5, false);
  const std::vector<std::string> y_texts = TickTexts(y_ticks);
  for (size_t t = 0; t < y_ticks.size(); ++t) {
    const double v = y_ticks[t];
    const std::string y = Number(y_of(v));
    svg += "<line x1=\"" + Number(kPlotLeft) + "\" y1=\"" + y + "\" x2=\"" + Number(kPlotRight) +
           "\" y2=\"" + y + "\"/>\n";
    labels += "<text x=\"" + Number(kPlotLeft - 8) + "\" y=\"" + Number(y_of(v) + 4) +
              "\" text-anchor=\"end\">" + y_texts[t] + "</text>\n";
  }
  svg += "</g>\n<g class=\"y-labels\">\n" + labels + "</g>\n";
  // Ticks of the seconds axis.
  svg += "<g class=\"x-axis\" stroke=\"#000000\">\n";
  labels.clear();
  const std::vector<double> x_ticks = AxisTicks(x_low, x_high, 8, true);
  const std::vector<std::string> x_texts = TickTexts(x_ticks);
  for (size_t t = 0; t < x_ticks.size(); ++t) {
    const std::string x = Number(x_of(x_ticks[t]));
    svg += "<line x1=\"" + x + "\" y1=\"" + Number(kPlotBottom) + "\" x2=\"" + x + "\" y2=\"" +
           Number(kPlotBottom + 6) + "\"/>\n";
    labels += "<text x=\"" + x + "\" y=\"" + Number(kPlotBottom + 20) +
              "\" text-anchor=\"middle\">" + x_texts[t] + "</text>\n";
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
    AppendXmlText(svg, Tooltip(series.Name));
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
    svg += "<text x=\"" + Number(kLegendTextLeft) + "\" y=\"" + Number(y + 4) + "\">";
    AppendXmlText(svg, FitText(series.Name, kWidth - kLegendTextLeft - 8, kFontSize));
    svg += "</text>\n";
  }
  svg += "</g>\n</svg>\n";
  out.write(svg.data(), static_cast<std::streamsize>(svg.size()));
}

}  // namespace ombrel
