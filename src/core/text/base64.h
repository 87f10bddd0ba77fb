// Base64 (RFC 4648, with padding), as mail headers and SMTP AUTH carry it.
#ifndef VNTRA_TEXT_BASE64_H
#define VNTRA_TEXT_BASE64_H

#include <string>
#include <string_view>

namespace vntra {

std::string base64_encode(std::string_view bytes);

} // namespace vntra

#endif
