// A helper for the TLS tests under Wine.
//   tls_helper trust <ca.der>     adds the test CA to the current user's
//                                 trusted roots (of the test's Wine prefix)
//   tls_helper untrust <ca.der>   takes it out again
//   tls_helper probe <host> <port> [starttls]
//                                 runs one handshake and prints the outcome,
//                                 for measuring what SChannel reports
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>

#include "platform/socket.h"
#include "platform/tls_stream.h"

namespace {

bool read_file(const char* path, std::vector<unsigned char>& bytes) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return false;
    unsigned char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return !bytes.empty();
}

int change_trust(const char* path, bool add) {
    std::vector<unsigned char> der;
    if (!read_file(path, der)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return 2;
    }
    HCERTSTORE root = ::CertOpenSystemStoreW(0, L"ROOT");
    if (root == nullptr) {
        std::fprintf(stderr, "cannot open the root store: %lu\n", ::GetLastError());
        return 2;
    }
    PCCERT_CONTEXT certificate = ::CertCreateCertificateContext(X509_ASN_ENCODING, der.data(),
                                                                static_cast<DWORD>(der.size()));
    bool ok = certificate != nullptr;
    if (ok && add) {
        ok = ::CertAddCertificateContextToStore(root, certificate, CERT_STORE_ADD_REPLACE_EXISTING,
                                                nullptr);
    } else if (ok) {
        PCCERT_CONTEXT found = ::CertFindCertificateInStore(
            root, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, certificate, nullptr);
        ok = found == nullptr || ::CertDeleteCertificateFromStore(found);
    }
    if (!ok)
        std::fprintf(stderr, "%s failed: %lu\n", add ? "trust" : "untrust", ::GetLastError());
    if (certificate != nullptr)
        ::CertFreeCertificateContext(certificate);
    ::CertCloseStore(root, 0);
    return ok ? 0 : 1;
}

int probe(const char* host, int port, bool starttls) {
    vntra::NetLayer net;
    vntra::NetAddress address;
    if (!vntra::resolve_host(host, address))
        return 2;
    vntra::TcpConnection connection;
    if (!connection.open() || connection.connect(address, port, 5000) != vntra::NET_OK)
        return 2;
    vntra::TlsStream stream(connection);
    if (starttls) {
        char buffer[1024];
        size_t got = 0;
        stream.receive(buffer, sizeof buffer, got, 5000);
        stream.send_all("EHLO probe\r\n", 5000);
        stream.receive(buffer, sizeof buffer, got, 5000);
        stream.send_all("STARTTLS\r\n", 5000);
        stream.receive(buffer, sizeof buffer, got, 5000);
    }
    vntra::TlsResult result = stream.start_tls(host, 10000);
    std::printf("result %d code 0x%08lx\n", static_cast<int>(result),
                static_cast<unsigned long>(stream.failure_code()));
    stream.close();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "trust") == 0)
        return change_trust(argv[2], true);
    if (argc == 3 && std::strcmp(argv[1], "untrust") == 0)
        return change_trust(argv[2], false);
    if (argc >= 4 && std::strcmp(argv[1], "probe") == 0)
        return probe(argv[2], std::atoi(argv[3]), argc > 4);
    std::fprintf(stderr,
                 "usage: tls_helper trust|untrust <ca.der> | probe <host> <port> [starttls]\n");
    return 2;
}
