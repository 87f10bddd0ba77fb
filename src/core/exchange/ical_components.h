// The component tree of an iCalendar file: VCALENDAR holding VEVENT, VTODO,
// VTIMEZONE and the rest, each with its properties and nested components.
#ifndef VNTRA_EXCHANGE_ICAL_COMPONENTS_H
#define VNTRA_EXCHANGE_ICAL_COMPONENTS_H

#include <string>
#include <string_view>
#include <vector>

#include "exchange/ical_lines.h"

namespace vntra {

struct IcalComponent {
    std::string name; // upper case: "VCALENDAR", "VEVENT", ...
    int32_t line = 0; // the line of its BEGIN
    std::vector<IcalProperty> properties;
    std::vector<IcalComponent> children;

    // The first property of that name, or null.
    const IcalProperty* find(std::string_view property_name) const;
};

enum IcalParseStatus {
    ICAL_PARSED,
    ICAL_NOT_ICALENDAR, // the first line is not BEGIN:VCALENDAR
    ICAL_UNBALANCED,    // an END that closes nothing, or another component's
    ICAL_UNFINISHED,    // the file ends inside a component
    ICAL_TOO_DEEP,      // components nested deeper than any calendar writes them
};

struct IcalParseResult {
    IcalParseStatus status = ICAL_PARSED;
    int32_t line = 0; // where the fault was found
};

// True when the bytes, after an optional UTF-8 byte order mark, start with
// BEGIN:VCALENDAR (in any letter case); also for UTF-16 with a byte order
// mark, which the import then refuses with its own message.
bool looks_like_icalendar(std::string_view bytes);

// Reads every VCALENDAR of the text into `calendars`. Lines that are not
// content lines are skipped, as readers of real files must; a structure that
// does not close is refused as a whole, so that nothing is taken from a file
// cut short.
IcalParseResult parse_icalendar(std::string_view text, std::vector<IcalComponent>& calendars);

} // namespace vntra

#endif
