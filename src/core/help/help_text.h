// The built-in user guide of the help window and the texts of the about box.
#ifndef VNTRA_HELP_HELP_TEXT_H
#define VNTRA_HELP_HELP_TEXT_H

#include <string>
#include <string_view>

namespace vntra {

// The guide, lines separated by CR LF and broken by hand at 86 bytes (43
// full-width characters; a closing mark may hang to 88), continuation lines
// indented with full-width spaces: it lines up only in a fixed-pitch face.
extern const char HELP_TEXT[];

// The address people write to, set when the program is built.
const char* contact_address();

// "Vontara ver 2.3".
std::string about_product_text();
// The mail button's two lines: the invitation and the address.
std::string contact_button_text(std::string_view address);
// "mailto:" and the address, in lower case (ASCII letters only; a
// double-byte character is left whole).
std::string mailto_link(std::string_view address);

const char ABOUT_DESCRIPTION[] = "予定を携帯電話へメールする常駐スケジューラ";
const char MAILER_FAILED[] = "メーラーを起動できませんでした";

} // namespace vntra

#endif
