#include "platform/secret.h"

#include <windows.h>
#include <dpapi.h>

#include "text/secret_text.h"

namespace vntra {
namespace {

// Binds the blobs to this program: another program of the same user that
// calls DPAPI without it cannot read them in passing.
const char ENTROPY[] = "vntra smtp password";

DATA_BLOB blob_of(std::string_view bytes) {
    return {static_cast<DWORD>(bytes.size()),
            reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()))};
}

bool take(DATA_BLOB& out, std::string& into) {
    wipe_secret(into);
    into.reserve(out.cbData);
    into.assign(reinterpret_cast<const char*>(out.pbData), out.cbData);
    SecureZeroMemory(out.pbData, out.cbData);
    ::LocalFree(out.pbData);
    return true;
}

} // namespace

bool protect_secret(std::string_view plain, std::string& blob) {
    DATA_BLOB in = blob_of(plain);
    DATA_BLOB entropy = blob_of(std::string_view(ENTROPY, sizeof ENTROPY - 1));
    DATA_BLOB out{};
    if (!::CryptProtectData(&in, L"vntra", &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                            &out))
        return false;
    return take(out, blob);
}

bool unprotect_secret(std::string_view blob, std::string& plain) {
    DATA_BLOB in = blob_of(blob);
    DATA_BLOB entropy = blob_of(std::string_view(ENTROPY, sizeof ENTROPY - 1));
    DATA_BLOB out{};
    if (blob.empty() || !::CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr,
                                              CRYPTPROTECT_UI_FORBIDDEN, &out))
        return false;
    return take(out, plain);
}

} // namespace vntra
