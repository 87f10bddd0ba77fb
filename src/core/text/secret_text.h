// Texts that held a password, or a form from which it can be read back
// (Base64, a protocol line), are overwritten before their memory is given
// back, so that the password does not linger in freed memory, a crash dump
// or the page file.
#ifndef VNTRA_TEXT_SECRET_TEXT_H
#define VNTRA_TEXT_SECRET_TEXT_H

#include <cstddef>
#include <string>

namespace vntra {

// Zeroes the bytes with stores the compiler may not drop as dead.
void wipe_bytes(void* data, size_t size);

// Zeroes the whole buffer of a text, including what lies past its end from
// an earlier, longer content, and leaves it empty.
template <typename Text> void wipe_secret(Text& text) {
    text.resize(text.capacity());
    wipe_bytes(&text[0], text.size() * sizeof text[0]);
    text.clear();
}

// Wipes a text on every way out of the scope that holds it.
template <typename Text> class WipeOnExit {
  public:
    explicit WipeOnExit(Text& text) : text_(text) {}
    ~WipeOnExit() { wipe_secret(text_); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

  private:
    Text& text_;
};

} // namespace vntra

#endif
