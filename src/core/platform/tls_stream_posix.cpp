// The product's TLS is Windows' own; this side exists so that the session
// logic around it runs in the native tests, over plain loopback.
#include "platform/tls_stream.h"

namespace vntra {
namespace {

TlsResult test_outcome = TLS_UNAVAILABLE;

} // namespace

struct TlsStream::State {};

TlsStream::TlsStream(TcpConnection& connection) : connection_(connection) {}

TlsStream::~TlsStream() = default;

TlsResult TlsStream::start_tls(const std::string&, int) {
    secured_ = test_outcome == TLS_OK;
    failure_code_ = secured_ ? 0 : 0x80090000u + static_cast<uint32_t>(test_outcome);
    return test_outcome;
}

NetResult TlsStream::send_all(std::string_view data, int timeout_ms) {
    return connection_.send_all(data, timeout_ms);
}

NetResult TlsStream::receive(char* buffer, size_t size, size_t& received, int timeout_ms) {
    return connection_.receive(buffer, size, received, timeout_ms);
}

void TlsStream::close() {
    secured_ = false;
    connection_.close();
}

bool set_tls_outcome_for_tests(TlsResult outcome) {
    test_outcome = outcome;
    return true;
}

} // namespace vntra
