#include "exchange/ical_components.h"

namespace vntra {
namespace {

// Calendars nest VCALENDAR > VEVENT > VALARM, or VTIMEZONE > STANDARD; a
// little room beyond that for extensions.
const size_t MAX_DEPTH = 8;
const char UTF8_BOM[] = "\xEF\xBB\xBF";

std::string upper_value(std::string_view value) {
    std::string name(value);
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    // Some writers leave blanks after the name.
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.pop_back();
    return name;
}

} // namespace

const IcalProperty* IcalComponent::find(std::string_view property_name) const {
    for (const IcalProperty& property : properties)
        if (property.name == property_name)
            return &property;
    return nullptr;
}

bool looks_like_icalendar(std::string_view bytes) {
    // UTF-16 with its byte order mark: the ASCII letters on one side of the
    // byte pairs, so that the import can refuse it with the right message.
    if (bytes.size() >= 2 &&
        (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")) {
        size_t low = bytes[0] == '\xFF' ? 2 : 3;
        std::string narrow;
        for (size_t i = low; i < bytes.size() && narrow.size() < 15; i += 2)
            narrow += bytes[i];
        return same_ical_name(narrow, "BEGIN:VCALENDAR");
    }
    if (bytes.substr(0, 3) == UTF8_BOM)
        bytes.remove_prefix(3);
    while (!bytes.empty() && (bytes.front() == '\r' || bytes.front() == '\n'))
        bytes.remove_prefix(1);
    std::string_view head = bytes.substr(0, 15);
    return same_ical_name(head, "BEGIN:VCALENDAR");
}

IcalParseResult parse_icalendar(std::string_view text, std::vector<IcalComponent>& calendars) {
    calendars.clear();
    if (text.substr(0, 3) == UTF8_BOM)
        text.remove_prefix(3);
    std::string storage;
    std::vector<std::string_view> lines;
    unfold_ical_lines(text, storage, lines);

    // The open components, innermost last; each is moved into its parent
    // when its END arrives.
    std::vector<IcalComponent> open;
    IcalProperty property;
    for (size_t i = 0; i < lines.size(); ++i) {
        int32_t number = static_cast<int32_t>(i + 1);
        if (!parse_content_line(lines[i], property))
            continue;
        property.line = number;
        if (property.name == "BEGIN") {
            std::string name = upper_value(property.value);
            if (open.empty() && name != "VCALENDAR")
                return {ICAL_NOT_ICALENDAR, number};
            if (open.size() >= MAX_DEPTH)
                return {ICAL_TOO_DEEP, number};
            open.push_back(IcalComponent{std::move(name), number, {}, {}});
        } else if (property.name == "END") {
            if (open.empty() || open.back().name != upper_value(property.value))
                return {ICAL_UNBALANCED, number};
            IcalComponent done = std::move(open.back());
            open.pop_back();
            if (open.empty())
                calendars.push_back(std::move(done));
            else
                open.back().children.push_back(std::move(done));
        } else if (!open.empty()) {
            open.back().properties.push_back(property);
        } else if (calendars.empty()) {
            return {ICAL_NOT_ICALENDAR, number};
        }
    }
    if (!open.empty())
        return {ICAL_UNFINISHED, static_cast<int32_t>(lines.size())};
    if (calendars.empty())
        return {ICAL_NOT_ICALENDAR, 0};
    return {};
}

} // namespace vntra
