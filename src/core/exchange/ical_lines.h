// iCalendar text at the level of lines: unfolding, splitting a content line
// into its name, parameters and value, and the text escapes.
#ifndef VNTRA_EXCHANGE_ICAL_LINES_H
#define VNTRA_EXCHANGE_ICAL_LINES_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vntra {

struct IcalParameter {
    std::string name;  // upper case
    std::string value; // the first value, without its quotes
};

struct IcalProperty {
    std::string name; // upper case
    std::vector<IcalParameter> parameters;
    std::string value; // as written; text values still carry their escapes
    int32_t line = 0;  // 1-based number of the unfolded line, for messages
};

// Joins folded lines: a line end (CR LF, or LF alone as many writers leave
// it) followed by a space or a tab continues the line before it. Empty lines
// are dropped. The lines point into `text`'s copy held by `storage`.
void unfold_ical_lines(std::string_view text, std::string& storage,
                       std::vector<std::string_view>& lines);

// Splits "NAME;PARAM=value;PARAM="quoted":value". False for a line without a
// colon outside quotes or without a name.
bool parse_content_line(std::string_view line, IcalProperty& property);

// Names and keyword values compare in any ASCII case ("vevent", "Date").
bool same_ical_name(std::string_view a, std::string_view b);

// The value of a parameter, or null when the property has none of that name.
const std::string* find_parameter(const IcalProperty& property, std::string_view name);

// Undoes the text escapes \\ \; \, \n \N. A backslash before any other
// character is kept with it, as readers commonly do.
std::string unescape_ical_text(std::string_view value);

// Escapes a text value for writing: \ ; , and line breaks (CR LF, LF or CR
// each become one \n).
std::string escape_ical_text(std::string_view text);

// Splits a list value at commas that are not escaped.
std::vector<std::string_view> split_ical_list(std::string_view value);

} // namespace vntra

#endif
