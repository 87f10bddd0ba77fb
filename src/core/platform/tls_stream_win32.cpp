// TLS through SChannel, the operating system's own implementation, which
// Windows Update keeps current. The certificate is checked here by hand:
// automatic validation is not applied everywhere SChannel runs, and a failed
// check must stop the session before the password goes out.
#include "platform/tls_stream.h"

#include <cstring>
#include <string>

#define SECURITY_WIN32
#define SCHANNEL_USE_BLACKLISTS
#include <winsock2.h>
#include <windows.h>
#include <subauth.h>
#include <security.h>
#include <schannel.h>
#include <wincrypt.h>

#include "platform/clock.h"
#include "text/secret_text.h"

namespace vntra {
namespace {

const unsigned long CONTEXT_REQUEST = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                      ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                      ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR |
                                      ISC_REQ_MANUAL_CRED_VALIDATION;
// Every handshake message fits many times over; more is a broken server.
const size_t MAX_HANDSHAKE_BYTES = 256 * 1024;
// Versions that are no longer safe, as either side may report them.
const DWORD OLD_PROTOCOLS = SP_PROT_SSL2 | SP_PROT_SSL3 | SP_PROT_TLS1_0 | SP_PROT_TLS1_1;

int remaining(int64_t deadline) {
    int64_t left = deadline - monotonic_milliseconds();
    return left > 0 ? static_cast<int>(left) : 0;
}

TlsResult from_net(NetResult result) {
    return result == NET_TIMED_OUT ? TLS_TIMED_OUT : TLS_CLOSED;
}

// Status codes that mean the two sides found no protocol version in common,
// as SChannel reports a server that insists on a version it does not speak.
bool version_refused(SECURITY_STATUS status) {
    return status == SEC_E_UNSUPPORTED_FUNCTION || status == SEC_E_ALGORITHM_MISMATCH;
}

// The server's certificate against the user's trusted roots and the name
// the user typed. Every error bit of the chain counts: a policy check alone
// can pass a chain that stops at an unknown issuer.
TlsResult check_certificate(CtxtHandle& context, const std::string& host, uint32_t& code) {
    PCCERT_CONTEXT certificate = nullptr;
    SECURITY_STATUS status =
        ::QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate);
    if (status != SEC_E_OK || certificate == nullptr) {
        code = static_cast<uint32_t>(status);
        return TLS_UNTRUSTED;
    }
    LPSTR usages[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH),
                      const_cast<LPSTR>(szOID_SERVER_GATED_CRYPTO),
                      const_cast<LPSTR>(szOID_SGC_NETSCAPE)};
    CERT_CHAIN_PARA chain_para{};
    chain_para.cbSize = sizeof chain_para;
    chain_para.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    chain_para.RequestedUsage.Usage.cUsageIdentifier = 3;
    chain_para.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!::CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore,
                                   &chain_para, 0, nullptr, &chain)) {
        code = ::GetLastError();
        ::CertFreeCertificateContext(certificate);
        return TLS_UNTRUSTED;
    }
    std::wstring wide_host(host.begin(), host.end());
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl_para{};
    ssl_para.cbSize = sizeof ssl_para;
    ssl_para.dwAuthType = AUTHTYPE_SERVER;
    ssl_para.pwszServerName = &wide_host[0];
    CERT_CHAIN_POLICY_PARA policy_para{};
    policy_para.cbSize = sizeof policy_para;
    policy_para.pvExtraPolicyPara = &ssl_para;
    CERT_CHAIN_POLICY_STATUS policy{};
    policy.cbSize = sizeof policy;
    TlsResult result = TLS_OK;
    if (!::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy_para, &policy)) {
        code = ::GetLastError();
        result = TLS_UNTRUSTED;
    } else if (policy.dwError != 0) {
        code = policy.dwError;
        result = policy.dwError == static_cast<DWORD>(CERT_E_CN_NO_MATCH) ? TLS_WRONG_HOST
                 : policy.dwError == static_cast<DWORD>(CERT_E_EXPIRED)   ? TLS_EXPIRED
                                                                          : TLS_UNTRUSTED;
    } else if (chain->TrustStatus.dwErrorStatus != CERT_TRUST_NO_ERROR) {
        DWORD bits = chain->TrustStatus.dwErrorStatus;
        code = bits;
        result = bits & (CERT_TRUST_IS_NOT_TIME_VALID | CERT_TRUST_IS_NOT_TIME_NESTED)
                     ? TLS_EXPIRED
                     : TLS_UNTRUSTED;
    }
    ::CertFreeCertificateChain(chain);
    ::CertFreeCertificateContext(certificate);
    return result;
}

} // namespace

struct TlsStream::State {
    CredHandle credentials{};
    bool have_credentials = false;
    CtxtHandle context{};
    bool have_context = false;
    SecPkgContext_StreamSizes sizes{};
    DWORD protocol = 0;    // as negotiated, SP_PROT_*
    std::string host_name; // as the user typed it, for the certificate check
    std::wstring host;
    std::string incoming; // received, not yet decrypted
    std::string plain;    // decrypted, not yet handed out
    bool peer_closed = false;

    ~State() {
        if (have_context)
            ::DeleteSecurityContext(&context);
        if (have_credentials)
            ::FreeCredentialsHandle(&credentials);
    }

    // Newer systems take SCH_CREDENTIALS (which is how they offer TLS 1.3);
    // older ones know only SCHANNEL_CRED. Either way the versions below 1.2
    // are turned off here and refused again after the handshake, since not
    // every SChannel honours the request, and the weak ciphers (NULL, RC4,
    // DES, export grade, MD5) are turned off, which older systems would
    // still offer by default.
    SECURITY_STATUS acquire() {
        const DWORD flags =
            SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
        TLS_PARAMETERS parameters{};
        parameters.grbitDisabledProtocols = OLD_PROTOCOLS;
        SCH_CREDENTIALS modern{};
        modern.dwVersion = SCH_CREDENTIALS_VERSION;
        modern.dwFlags = flags;
        modern.cTlsParameters = 1;
        modern.pTlsParameters = &parameters;
        SECURITY_STATUS status = ::AcquireCredentialsHandleW(
            nullptr, const_cast<SEC_WCHAR*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr, &modern,
            nullptr, nullptr, &credentials, nullptr);
        if (status != SEC_E_OK) {
            SCHANNEL_CRED older{};
            older.dwVersion = SCHANNEL_CRED_VERSION;
            older.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
            older.dwFlags = flags;
            status = ::AcquireCredentialsHandleW(nullptr, const_cast<SEC_WCHAR*>(UNISP_NAME_W),
                                                 SECPKG_CRED_OUTBOUND, nullptr, &older, nullptr,
                                                 nullptr, &credentials, nullptr);
        }
        have_credentials = status == SEC_E_OK;
        return status;
    }

    // What every finished handshake must pass before a byte of ours is
    // encrypted with it: TLS 1.2 or newer, and a certificate that holds for
    // the host the user named.
    TlsResult verify(uint32_t& code) {
        SecPkgContext_ConnectionInfo info{};
        SECURITY_STATUS status =
            ::QueryContextAttributesW(&context, SECPKG_ATTR_CONNECTION_INFO, &info);
        if (status != SEC_E_OK) {
            code = static_cast<uint32_t>(status);
            return TLS_HANDSHAKE_FAILED;
        }
        if (info.dwProtocol & OLD_PROTOCOLS) {
            code = info.dwProtocol;
            return TLS_OLD_VERSION;
        }
        protocol = info.dwProtocol;
        TlsResult checked = check_certificate(context, host_name, code);
        if (checked != TLS_OK)
            return checked;
        status = ::QueryContextAttributesW(&context, SECPKG_ATTR_STREAM_SIZES, &sizes);
        if (status != SEC_E_OK) {
            code = static_cast<uint32_t>(status);
            return TLS_HANDSHAKE_FAILED;
        }
        return TLS_OK;
    }

    // One step of the handshake with what has arrived (none on the first
    // call and for the goodbye); `token_out` is what SChannel wants sent.
    // Also takes the messages a server sends after the handshake.
    SECURITY_STATUS handshake_step(bool with_input, std::string& token_out) {
        SecBuffer in_buffers[2];
        in_buffers[0] = {static_cast<unsigned long>(incoming.size()), SECBUFFER_TOKEN,
                         incoming.empty() ? nullptr : &incoming[0]};
        in_buffers[1] = {0, SECBUFFER_EMPTY, nullptr};
        SecBufferDesc in_desc{SECBUFFER_VERSION, 2, in_buffers};
        SecBuffer out_buffers[1] = {{0, SECBUFFER_TOKEN, nullptr}};
        SecBufferDesc out_desc{SECBUFFER_VERSION, 1, out_buffers};
        unsigned long attributes = 0;
        SECURITY_STATUS status = ::InitializeSecurityContextW(
            &credentials, have_context ? &context : nullptr, &host[0], CONTEXT_REQUEST, 0, 0,
            with_input ? &in_desc : nullptr, 0, &context, &out_desc, &attributes, nullptr);
        token_out.clear();
        if (out_buffers[0].pvBuffer != nullptr) {
            token_out.assign(static_cast<const char*>(out_buffers[0].pvBuffer),
                             out_buffers[0].cbBuffer);
            ::FreeContextBuffer(out_buffers[0].pvBuffer);
        }
        if (with_input && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) {
            // What SChannel did not consume belongs to the next record: with
            // implicit TLS that can be the server's greeting.
            if (in_buffers[1].BufferType == SECBUFFER_EXTRA && in_buffers[1].cbBuffer > 0 &&
                in_buffers[1].cbBuffer <= incoming.size())
                incoming.erase(0, incoming.size() - in_buffers[1].cbBuffer);
            else
                incoming.clear();
        }
        return status;
    }
};

TlsStream::TlsStream(TcpConnection& connection) : connection_(connection) {}

TlsStream::~TlsStream() {
    delete state_;
}

TlsResult TlsStream::start_tls(const std::string& host, int timeout_ms) {
    int64_t deadline = monotonic_milliseconds() + timeout_ms;
    delete state_;
    state_ = new State;
    State& s = *state_;
    s.host_name = host;
    s.host.assign(host.begin(), host.end());
    SECURITY_STATUS status = s.acquire();
    if (status != SEC_E_OK) {
        failure_code_ = static_cast<uint32_t>(status);
        return TLS_UNAVAILABLE;
    }
    std::string token;
    status = s.handshake_step(false, token);
    if (status != SEC_I_CONTINUE_NEEDED) {
        failure_code_ = static_cast<uint32_t>(status);
        return TLS_HANDSHAKE_FAILED;
    }
    s.have_context = true;
    bool first_reply = true;
    int credential_rounds = 0;
    for (;;) {
        if (!token.empty()) {
            NetResult sent = connection_.send_all(token, remaining(deadline));
            if (sent != NET_OK)
                return from_net(sent);
        }
        if (status == SEC_E_OK)
            break;
        bool retry = (status == SEC_I_INCOMPLETE_CREDENTIALS && ++credential_rounds < 4) ||
                     (status == SEC_I_CONTINUE_NEEDED && !s.incoming.empty());
        if (!retry) {
            if (status != SEC_I_CONTINUE_NEEDED && status != SEC_E_INCOMPLETE_MESSAGE) {
                failure_code_ = static_cast<uint32_t>(status);
                return version_refused(status) ? TLS_VERSION_REFUSED : TLS_HANDSHAKE_FAILED;
            }
            if (s.incoming.size() > MAX_HANDSHAKE_BYTES) {
                failure_code_ = static_cast<uint32_t>(status);
                return TLS_HANDSHAKE_FAILED;
            }
            char buffer[16384];
            size_t received = 0;
            NetResult got =
                connection_.receive(buffer, sizeof buffer, received, remaining(deadline));
            // A server that hangs up on our first handshake message refused
            // what we offered, most often the protocol version.
            if (got == NET_CLOSED && first_reply)
                return TLS_VERSION_REFUSED;
            if (got != NET_OK)
                return from_net(got);
            // A TLS record starts with its content type, 20 to 24; a server
            // that greets in text is not speaking TLS on this port.
            if (first_reply && (buffer[0] < 20 || buffer[0] > 24))
                return TLS_NOT_TLS;
            first_reply = false;
            s.incoming.append(buffer, received);
        }
        status = s.handshake_step(true, token);
    }

    uint32_t code = 0;
    TlsResult verified = s.verify(code);
    if (verified != TLS_OK) {
        failure_code_ = code;
        return verified;
    }
    secured_ = true;
    return TLS_OK;
}

NetResult TlsStream::send_all(std::string_view data, int timeout_ms) {
    if (!secured_)
        return connection_.send_all(data, timeout_ms);
    State& s = *state_;
    int64_t deadline = monotonic_milliseconds() + timeout_ms;
    std::string record;
    while (!data.empty()) {
        size_t chunk =
            data.size() < s.sizes.cbMaximumMessage ? data.size() : s.sizes.cbMaximumMessage;
        record.assign(s.sizes.cbHeader + chunk + s.sizes.cbTrailer, '\0');
        std::memcpy(&record[s.sizes.cbHeader], data.data(), chunk);
        SecBuffer buffers[4] = {
            {s.sizes.cbHeader, SECBUFFER_STREAM_HEADER, &record[0]},
            {static_cast<unsigned long>(chunk), SECBUFFER_DATA, &record[s.sizes.cbHeader]},
            {s.sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, &record[s.sizes.cbHeader + chunk]},
            {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        if (::EncryptMessage(&s.context, 0, &desc, 0) != SEC_E_OK) {
            // Encryption happens in place: what failed is still the plain
            // text, which may be a login line.
            wipe_secret(record);
            return NET_FAILED;
        }
        size_t length = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
        NetResult sent = connection_.send_all(std::string_view(record.data(), length),
                                              remaining(deadline) > 0 ? remaining(deadline) : 1);
        if (sent != NET_OK)
            return sent;
        data.remove_prefix(chunk);
    }
    return NET_OK;
}

NetResult TlsStream::receive(char* buffer, size_t size, size_t& received, int timeout_ms) {
    received = 0;
    if (!secured_)
        return connection_.receive(buffer, size, received, timeout_ms);
    State& s = *state_;
    int64_t deadline = monotonic_milliseconds() + timeout_ms;
    while (s.plain.empty()) {
        if (s.peer_closed)
            return NET_CLOSED;
        SECURITY_STATUS status = SEC_E_INCOMPLETE_MESSAGE;
        if (!s.incoming.empty()) {
            SecBuffer buffers[4] = {
                {static_cast<unsigned long>(s.incoming.size()), SECBUFFER_DATA, &s.incoming[0]},
                {0, SECBUFFER_EMPTY, nullptr},
                {0, SECBUFFER_EMPTY, nullptr},
                {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
            status = ::DecryptMessage(&s.context, &desc, 0, nullptr);
            if (status == SEC_E_OK || status == SEC_I_RENEGOTIATE ||
                status == SEC_I_CONTEXT_EXPIRED) {
                std::string extra;
                for (const SecBuffer& b : buffers) {
                    if (b.BufferType == SECBUFFER_DATA && b.cbBuffer > 0)
                        s.plain.append(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
                    else if (b.BufferType == SECBUFFER_EXTRA && b.cbBuffer > 0)
                        extra.assign(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
                }
                s.incoming = extra;
            }
            if (status == SEC_I_CONTEXT_EXPIRED) {
                // The server's close_notify: what came before it still counts.
                s.peer_closed = true;
                continue;
            }
            if (status == SEC_I_RENEGOTIATE) {
                // Before TLS 1.3 this is the server asking for a new
                // handshake, which could bring a certificate other than the
                // one checked: a mail server has no need of it, so the
                // session ends.
                if (!(s.protocol & SP_PROT_TLS1_3_CLIENT)) {
                    failure_code_ = static_cast<uint32_t>(status);
                    return NET_FAILED;
                }
                // A post-handshake message (TLS 1.3 session tickets): SChannel
                // takes it through InitializeSecurityContext with what followed.
                std::string token;
                SECURITY_STATUS step;
                for (;;) {
                    step = s.handshake_step(true, token);
                    if (!token.empty() &&
                        connection_.send_all(token, remaining(deadline) + 1) != NET_OK)
                        return NET_FAILED;
                    if (step != SEC_E_INCOMPLETE_MESSAGE && step != SEC_I_CONTINUE_NEEDED)
                        break;
                    if (step == SEC_I_CONTINUE_NEEDED && !s.incoming.empty())
                        continue;
                    char more[16384];
                    size_t got = 0;
                    NetResult result =
                        connection_.receive(more, sizeof more, got, remaining(deadline));
                    if (result != NET_OK)
                        return result;
                    s.incoming.append(more, got);
                }
                if (step != SEC_E_OK)
                    return NET_FAILED;
                // Whatever it changed, the session is held to the same checks
                // as after the first handshake before it carries more.
                uint32_t code = 0;
                if (s.verify(code) != TLS_OK) {
                    failure_code_ = code;
                    return NET_FAILED;
                }
                continue;
            }
            if (status != SEC_E_OK && status != SEC_E_INCOMPLETE_MESSAGE)
                return NET_FAILED;
            if (status == SEC_E_OK)
                continue;
        }
        char more[16384];
        size_t got = 0;
        NetResult result = connection_.receive(more, sizeof more, got, remaining(deadline));
        if (result != NET_OK)
            return result;
        s.incoming.append(more, got);
    }
    received = s.plain.size() < size ? s.plain.size() : size;
    std::memcpy(buffer, s.plain.data(), received);
    s.plain.erase(0, received);
    return NET_OK;
}

void TlsStream::close() {
    if (secured_ && state_ != nullptr) {
        State& s = *state_;
        DWORD kind = SCHANNEL_SHUTDOWN;
        SecBuffer control[1] = {{sizeof kind, SECBUFFER_TOKEN, &kind}};
        SecBufferDesc control_desc{SECBUFFER_VERSION, 1, control};
        if (::ApplyControlToken(&s.context, &control_desc) == SEC_E_OK) {
            std::string token;
            s.handshake_step(false, token);
            if (!token.empty())
                connection_.send_all(token, 1000);
        }
    }
    secured_ = false;
    connection_.close();
}

bool set_tls_outcome_for_tests(TlsResult) {
    return false;
}

} // namespace vntra
