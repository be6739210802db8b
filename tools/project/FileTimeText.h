// FileTime values (days since 1899-12-30, the time of day as the fraction, local time) as
// readable text "YYYY-MM-DDTHH:MM:SS" or "YYYY-MM-DDTHH:MM:SS.mmm", years 1899 to 9999.
// The text form is used only where it reproduces the double exactly, so inspect -> build keeps
// every stored bit; other values (-1.0 of folders, odd fractions) stay numbers.
#pragma once

#include <optional>
#include <string>

namespace tool {

// nullopt when the text is not a valid date-time of that form.
std::optional<double> FileTimeFromText(const std::string& text);
// nullopt when the value has no text that reads back as exactly the same double.
std::optional<std::string> FileTimeToText(double value);

}  // namespace tool
