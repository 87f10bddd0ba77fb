// Rows and fields of CSV text: quoting a field so that it reads back, and
// reading rows as spreadsheets write them (RFC 4180) and as people type them
// in a text editor:
// - CR LF, LF and CR alone each end a row outside double quotes;
// - a field that starts with a double quote runs to its closing quote,
//   across line ends and commas; "" inside it is one quote, and anything
//   after the closing quote up to the next comma belongs to the field;
// - in a field that does not start with a quote, a quote is an ordinary
//   character;
// - a quote that opens a field but is never closed in the rest of the text
//   is an ordinary character too, so that one stray quote does not swallow
//   every row after it.
// Only the bytes comma, double quote, CR and LF are looked at. No trail byte
// of a Shift-JIS character and no byte of a multi-byte UTF-8 character is one
// of them, so the same reading serves both encodings.
#ifndef VNTRA_EXCHANGE_CSV_FIELDS_H
#define VNTRA_EXCHANGE_CSV_FIELDS_H

#include <string>
#include <string_view>
#include <vector>

namespace vntra {

class CsvRowReader {
  public:
    explicit CsvRowReader(std::string_view text) : text_(text) {}

    // The next row as it stands in the text, without its line end; line
    // ends inside quoted fields are part of it. False after the last row.
    // A text that ends with a line end has no empty row after it.
    bool next(std::string_view& row);

    // Whether the last row given ran to the end of the text: no line end
    // after it, or a quote in it that never closed. When the text was cut
    // off by a read error, such a row may be only a piece of one.
    bool row_reached_end() const { return reached_end_; }

  private:
    std::string_view text_;
    size_t position_ = 0;
    bool reached_end_ = false;
};

// The fields of one row, their quotes taken off and "" made one quote.
// `fields` is refilled (one empty field for an empty row).
void split_csv_row(std::string_view row, std::vector<std::string>& fields);

// One field as written: as it is, or in double quotes with each quote
// doubled when it holds a comma, a quote or a line break, so that it reads
// back as the same one field here and in every spreadsheet.
std::string csv_field(std::string_view text);

} // namespace vntra

#endif
