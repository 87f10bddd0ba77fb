// The bytes of one mail connection: in the clear until start_tls succeeds,
// encrypted with the operating system's own TLS after that. The mail session
// reads and writes through this stream alone, so it never needs to know
// whether the line is encrypted.
#ifndef VNTRA_PLATFORM_TLS_STREAM_H
#define VNTRA_PLATFORM_TLS_STREAM_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/socket.h"

namespace vntra {

enum TlsResult {
    TLS_OK = 0,
    TLS_TIMED_OUT = 1, // the server stopped answering during the handshake
    TLS_CLOSED = 2,    // the server closed or reset the connection
    TLS_NOT_TLS = 3,   // the server answered in plain text
    TLS_HANDSHAKE_FAILED = 4,
    TLS_VERSION_REFUSED = 5, // the server wants a TLS version this system lacks
    TLS_OLD_VERSION = 6,     // negotiated below TLS 1.2
    TLS_UNTRUSTED = 7,       // no chain to a trusted root, or a broken chain
    TLS_EXPIRED = 8,         // a certificate outside its validity period
    TLS_WRONG_HOST = 9,      // a certificate for another host name
    TLS_UNAVAILABLE = 10,    // this system has no TLS to offer
};

class TlsStream {
  public:
    explicit TlsStream(TcpConnection& connection);
    ~TlsStream();
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    // Negotiates TLS with the server and checks its certificate against the
    // user's trusted roots and `host`, all within timeout_ms. Nothing of the
    // caller's reaches the server before the certificate has passed.
    TlsResult start_tls(const std::string& host, int timeout_ms);
    bool secured() const { return secured_; }
    // The system's own code for the last TLS failure, for the message.
    uint32_t failure_code() const { return failure_code_; }

    // As TcpConnection's: every byte or a reason; what has arrived, at most
    // timeout_ms later. Plain text until start_tls has succeeded.
    NetResult send_all(std::string_view data, int timeout_ms);
    NetResult receive(char* buffer, size_t size, size_t& received, int timeout_ms);

    // Says goodbye at the TLS level when secured (without waiting for the
    // answer), then closes the connection.
    void close();

  private:
    struct State;
    TcpConnection& connection_;
    State* state_ = nullptr;
    bool secured_ = false;
    uint32_t failure_code_ = 0;
};

// Tests only, on systems whose TLS is not the product's: start_tls answers
// `outcome` at once and a TLS_OK leaves the line in plain text, so that the
// session logic can be run over plain loopback. Returns false where the real
// TLS is always used.
bool set_tls_outcome_for_tests(TlsResult outcome);

} // namespace vntra

#endif
