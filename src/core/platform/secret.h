// Secrets kept in files, readable only by the user who stored them.
#ifndef VNTRA_PLATFORM_SECRET_H
#define VNTRA_PLATFORM_SECRET_H

#include <string>
#include <string_view>

namespace vntra {

// Encrypts `plain` for the current user of this computer (DPAPI on Windows).
bool protect_secret(std::string_view plain, std::string& blob);
// The text again; false when the blob is damaged or belongs to someone else.
bool unprotect_secret(std::string_view blob, std::string& plain);

} // namespace vntra

#endif
