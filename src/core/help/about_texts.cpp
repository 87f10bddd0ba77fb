#include "help/help_text.h"

#include "store/data_file.h"
#include "text/sjis_cut.h"

#ifndef VNTRA_CONTACT_ADDRESS
#define VNTRA_CONTACT_ADDRESS "Vontara-Support@example.jp"
#endif

namespace vntra {

const char* contact_address() {
    return VNTRA_CONTACT_ADDRESS;
}

std::string about_product_text() {
    return std::string("Vontara ") + VERSION_TEXT;
}

std::string contact_button_text(std::string_view address) {
    return std::string("ご意見・ご要望はこのメールアドレスへ\r\n") + std::string(address);
}

std::string mailto_link(std::string_view address) {
    std::string link = "mailto:" + std::string(address);
    for (size_t i = 0; i < link.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(link[i]);
        if (is_sjis_lead_byte(byte))
            ++i; // the trail byte may look like a capital letter
        else if (byte >= 'A' && byte <= 'Z')
            link[i] = static_cast<char>(byte - 'A' + 'a');
    }
    return link;
}

} // namespace vntra
