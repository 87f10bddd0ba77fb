#include "exchange/csv_fields.h"

namespace vntra {
namespace {

const char QUOTE = '"';

bool ends_field(char c) {
    return c == ',' || c == '\r' || c == '\n';
}

// The position after the quote that closes the quoted field opened at `at`,
// or npos when nothing closes it.
size_t quoted_end(std::string_view text, size_t at) {
    size_t from = at + 1;
    for (;;) {
        size_t quote = text.find(QUOTE, from);
        if (quote == std::string_view::npos)
            return quote;
        if (quote + 1 < text.size() && text[quote + 1] == QUOTE) {
            from = quote + 2; // "" is a quote inside the field
            continue;
        }
        return quote + 1;
    }
}

void append_unescaped(std::string_view quoted, std::string& out) {
    for (size_t i = 0; i < quoted.size(); ++i) {
        out += quoted[i];
        if (quoted[i] == QUOTE)
            ++i; // the second quote of ""
    }
}

// Reads the row that starts at `at` up to its line end or the end of the
// text and returns that position. When `fields` is given, its first `count`
// entries are the row's fields; the row finder and the field splitter share
// this one reading, so they can never disagree about where a row ends.
size_t scan_row(std::string_view text, size_t at, std::vector<std::string>* fields, size_t& count,
                bool& unclosed) {
    for (;;) {
        std::string* out = nullptr;
        if (fields) {
            if (count == fields->size())
                fields->emplace_back();
            out = &(*fields)[count];
            out->clear();
        }
        ++count;
        if (at < text.size() && text[at] == QUOTE) {
            size_t after = quoted_end(text, at);
            if (after == std::string_view::npos) {
                unclosed = true; // an ordinary character, read on below
            } else {
                if (out)
                    append_unescaped(text.substr(at + 1, after - at - 2), *out);
                at = after;
            }
        }
        size_t end = at;
        while (end < text.size() && !ends_field(text[end]))
            ++end;
        if (out)
            out->append(text.substr(at, end - at));
        at = end;
        if (at < text.size() && text[at] == ',') {
            ++at;
            continue;
        }
        return at;
    }
}

} // namespace

bool CsvRowReader::next(std::string_view& row) {
    if (position_ >= text_.size())
        return false;
    size_t count = 0;
    bool unclosed = false;
    size_t end = scan_row(text_, position_, nullptr, count, unclosed);
    row = text_.substr(position_, end - position_);
    reached_end_ = unclosed || end == text_.size();
    if (end < text_.size()) {
        bool crlf = text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n';
        end += crlf ? 2 : 1;
    }
    position_ = end;
    return true;
}

void split_csv_row(std::string_view row, std::vector<std::string>& fields) {
    size_t count = 0;
    bool unclosed = false;
    scan_row(row, 0, &fields, count, unclosed);
    fields.resize(count);
}

std::string csv_field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted(1, QUOTE);
    for (char c : text) {
        if (c == QUOTE)
            quoted += QUOTE;
        quoted += c;
    }
    quoted += QUOTE;
    return quoted;
}

} // namespace vntra
