#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shared/DateTime.h"

// The texts in which lists, CSV files and reports show dates and numbers.
// Grouping separator ",", decimal separator ".". Two-decimal rounding is half
// away from zero after the double is first rounded to 15 significant digits,
// so 2.675 shows 2.68 and 0.125 shows 0.13.
namespace ombrel::display {

// Default date-time text "MM/DD/YYYY HH:MM:SS", zero-padded, 24-hour clock.
std::string DateTimeText(DateTime t);
// Reads the default date-time text back; blanks around it are allowed.
std::optional<DateTime> ReadDateTime(std::string_view text);

// "HH:MM:SS", the time of day.
std::string TimeText(DateTime t);
// "MM/DD/YYYY", the date.
std::string DateText(DateTime t);

// Plain decimal integer without grouping.
std::string Plain(int64_t value);

// "#,###": grouped integer, empty for 0, "-1,234" for negatives.
std::string Grouped(int64_t value);
// "#,##0.00": grouped, two decimals, at least one integer digit ("0.50").
std::string Fixed2(double value);
// "#,###.00": grouped, two decimals, no integer digit below 1 (".50", ".00").
std::string Fixed2NoLeadingZero(double value);
// "##0.00%": times 100, two decimals, no grouping, then "%" ("85.43%").
std::string Percent(double fraction);

// The shortest plain decimal text that reads back as the same double ("10.4",
// "0.5", "3"); no grouping, no exponent.
std::string PlainDecimal(double value);

// Reads a whole number that may carry "," group separators and a sign
// ("1,234" reads 1234). Fails on anything else, including an empty text.
std::optional<int64_t> ReadWholeNumber(std::string_view text);
// Reads a decimal number as the lists show it ("1,234.50", ".50", "-3").
std::optional<double> ReadDecimal(std::string_view text);

}  // namespace ombrel::display
