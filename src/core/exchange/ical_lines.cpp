#include "exchange/ical_lines.h"

namespace vntra {
namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upper_text(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = upper(c);
    return result;
}

// The parameter's value: quoted pieces lose their quotes, the rest stays.
std::string parameter_value(std::string_view raw) {
    std::string value;
    value.reserve(raw.size());
    for (char c : raw)
        if (c != '"')
            value += c;
    return value;
}

} // namespace

void unfold_ical_lines(std::string_view text, std::string& storage,
                       std::vector<std::string_view>& lines) {
    storage.clear();
    storage.reserve(text.size());
    lines.clear();
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i++];
        if (c != '\r' && c != '\n') {
            storage += c;
            continue;
        }
        if (c == '\r' && i < text.size() && text[i] == '\n')
            ++i;
        if (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i; // a folded line goes on after one white-space character
            continue;
        }
        storage += '\n';
    }
    size_t start = 0;
    while (start < storage.size()) {
        size_t end = storage.find('\n', start);
        if (end == std::string::npos)
            end = storage.size();
        if (end > start)
            lines.emplace_back(storage.data() + start, end - start);
        start = end + 1;
    }
}

bool parse_content_line(std::string_view line, IcalProperty& property) {
    property.parameters.clear();
    size_t i = 0;
    while (i < line.size() && line[i] != ';' && line[i] != ':')
        ++i;
    if (i == 0 || i == line.size())
        return false;
    property.name = upper_text(line.substr(0, i));
    while (line[i] == ';') {
        size_t name_start = ++i;
        while (i < line.size() && line[i] != '=' && line[i] != ';' && line[i] != ':')
            ++i;
        if (i == line.size())
            return false;
        IcalParameter parameter{upper_text(line.substr(name_start, i - name_start)), ""};
        if (line[i] == '=') {
            size_t value_start = ++i;
            bool quoted = false;
            while (i < line.size() && (quoted || (line[i] != ';' && line[i] != ':'))) {
                if (line[i] == '"')
                    quoted = !quoted;
                ++i;
            }
            if (i == line.size())
                return false;
            parameter.value = parameter_value(line.substr(value_start, i - value_start));
        }
        property.parameters.push_back(std::move(parameter));
    }
    property.value.assign(line.substr(i + 1));
    return true;
}

bool same_ical_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i]))
            return false;
    return true;
}

const std::string* find_parameter(const IcalProperty& property, std::string_view name) {
    for (const IcalParameter& parameter : property.parameters)
        if (same_ical_name(parameter.name, name))
            return &parameter.value;
    return nullptr;
}

std::string unescape_ical_text(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c != '\\' || i + 1 == value.size()) {
            text += c;
            continue;
        }
        char next = value[++i];
        switch (next) {
        case 'n':
        case 'N':
            text += '\n';
            break;
        case '\\':
        case ';':
        case ',':
            text += next;
            break;
        default:
            text += '\\';
            text += next;
            break;
        }
    }
    return text;
}

std::string escape_ical_text(std::string_view text) {
    std::string value;
    value.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        switch (c) {
        case '\\':
        case ';':
        case ',':
            value += '\\';
            value += c;
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            value += "\\n";
            break;
        case '\n':
            value += "\\n";
            break;
        default:
            value += c;
            break;
        }
    }
    return value;
}

std::vector<std::string_view> split_ical_list(std::string_view value) {
    std::vector<std::string_view> items;
    size_t start = 0;
    for (size_t i = 0; i <= value.size(); ++i) {
        if (i + 1 < value.size() && value[i] == '\\') {
            ++i; // the escaped character never splits
            continue;
        }
        if (i == value.size() || value[i] == ',') {
            items.push_back(value.substr(start, i - start));
            start = i + 1;
        }
    }
    return items;
}

} // namespace vntra
