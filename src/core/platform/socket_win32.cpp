#include "platform/socket.h"

#include <cstring>
#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/clock.h"

namespace vntra {
namespace {

SOCKET socket_of(intptr_t handle) {
    return static_cast<SOCKET>(handle);
}

// Waits until the socket can be read or written (or a connect has ended).
NetResult wait_for(SOCKET s, bool for_write, int timeout_ms) {
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    int rc =
        ::select(0, for_write ? nullptr : &ready, for_write ? &ready : nullptr, &failed, &limit);
    if (rc == 0)
        return NET_TIMED_OUT;
    if (rc == SOCKET_ERROR)
        return NET_FAILED;
    // A failed connect is reported in the exception set, not as writable.
    if (FD_ISSET(s, &failed) && !FD_ISSET(s, &ready))
        return NET_FAILED;
    return NET_OK;
}

int remaining(int64_t deadline) {
    int64_t left = deadline - monotonic_milliseconds();
    return left > 0 ? static_cast<int>(left) : 0;
}

NetResult from_error(int error) {
    return error == WSAECONNRESET || error == WSAECONNABORTED || error == WSAESHUTDOWN ? NET_CLOSED
                                                                                       : NET_FAILED;
}

} // namespace

NetLayer::NetLayer() {
    WSADATA data;
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

NetLayer::~NetLayer() {
    if (started_)
        ::WSACleanup();
}

bool resolve_host(const std::string& name, NetAddress& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    const sockaddr_in* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    std::memcpy(address.bytes, &in->sin_addr, 4);
    ::freeaddrinfo(found);
    return true;
}

int service_port(const char* name) {
    const servent* entry = ::getservbyname(name, "tcp");
    return entry ? ntohs(static_cast<u_short>(entry->s_port)) : 0;
}

bool TcpConnection::open() {
    close();
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    // Non-blocking throughout, so that every wait goes through select with a limit.
    u_long non_blocking = 1;
    ::ioctlsocket(s, FIONBIO, &non_blocking);
    // Each command waits for its reply, so nothing is gained by holding back
    // a short write for the peer's delayed acknowledgement.
    BOOL on = TRUE;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    handle_ = static_cast<intptr_t>(s);
    return true;
}

NetResult TcpConnection::connect(const NetAddress& address, int port, int timeout_ms) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(port));
    std::memcpy(&to.sin_addr, address.bytes, 4);
    SOCKET s = socket_of(handle_);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
        return NET_OK;
    if (::WSAGetLastError() != WSAEWOULDBLOCK)
        return NET_FAILED;
    NetResult waited = wait_for(s, true, timeout_ms);
    if (waited != NET_OK)
        return waited;
    int error = 0;
    int length = sizeof error;
    if (::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 ||
        error != 0)
        return NET_FAILED;
    return NET_OK;
}

NetResult TcpConnection::send_all(std::string_view data, int timeout_ms) {
    SOCKET s = socket_of(handle_);
    int64_t deadline = monotonic_milliseconds() + timeout_ms;
    while (!data.empty()) {
        int chunk = data.size() > 65536 ? 65536 : static_cast<int>(data.size());
        int sent = ::send(s, data.data(), chunk, 0);
        if (sent > 0) {
            data.remove_prefix(static_cast<size_t>(sent));
            continue;
        }
        int error = ::WSAGetLastError();
        if (sent == SOCKET_ERROR && error == WSAEWOULDBLOCK) {
            NetResult waited = wait_for(s, true, remaining(deadline));
            if (waited != NET_OK)
                return waited;
            continue;
        }
        return from_error(error);
    }
    return NET_OK;
}

NetResult TcpConnection::receive(char* buffer, size_t size, size_t& received, int timeout_ms) {
    received = 0;
    SOCKET s = socket_of(handle_);
    int64_t deadline = monotonic_milliseconds() + timeout_ms;
    int want = size > 65536 ? 65536 : static_cast<int>(size);
    for (;;) {
        NetResult waited = wait_for(s, false, remaining(deadline));
        if (waited != NET_OK)
            return waited;
        int got = ::recv(s, buffer, want, 0);
        if (got > 0) {
            received = static_cast<size_t>(got);
            return NET_OK;
        }
        if (got == 0)
            return NET_CLOSED;
        int error = ::WSAGetLastError();
        if (error == WSAEWOULDBLOCK)
            continue; // woken without data: wait again for what is left of the time
        return from_error(error);
    }
}

void TcpConnection::close() {
    if (handle_ != -1)
        ::closesocket(socket_of(handle_));
    handle_ = -1;
}

} // namespace vntra
