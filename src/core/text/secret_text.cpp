#include "text/secret_text.h"

namespace vntra {

void wipe_bytes(void* data, size_t size) {
    volatile unsigned char* byte = static_cast<volatile unsigned char*>(data);
    for (size_t i = 0; i < size; ++i)
        byte[i] = 0;
}

} // namespace vntra
