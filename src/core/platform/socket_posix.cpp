#include "platform/socket.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/clock.h"

namespace vntra {
namespace {

int fd_of(intptr_t handle) {
    return static_cast<int>(handle);
}

// Waits for one poll event, resuming after signals, within the time left.
NetResult wait_for(int fd, short events, int timeout_ms) {
    int64_t deadline = monotonic_milliseconds() + timeout_ms;
    for (;;) {
        int64_t left = deadline - monotonic_milliseconds();
        if (left < 0)
            left = 0;
        pollfd entry{fd, events, 0};
        int rc = ::poll(&entry, 1, static_cast<int>(left));
        if (rc > 0)
            return NET_OK;
        if (rc == 0)
            return NET_TIMED_OUT;
        if (errno != EINTR)
            return NET_FAILED;
    }
}

} // namespace

NetLayer::NetLayer() : started_(true) {}
NetLayer::~NetLayer() {}

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
    servent entry{};
    servent* result = nullptr;
    char buffer[1024];
    if (::getservbyname_r(name, "tcp", &entry, buffer, sizeof buffer, &result) != 0 ||
        result == nullptr)
        return 0;
    return ntohs(static_cast<uint16_t>(result->s_port));
}

bool TcpConnection::open() {
    close();
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // Non-blocking throughout, so that every wait goes through poll with a limit.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    // Each command waits for its reply, so nothing is gained by holding back
    // a short write for the peer's delayed acknowledgement.
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    handle_ = fd;
    return true;
}

NetResult TcpConnection::connect(const NetAddress& address, int port, int timeout_ms) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    std::memcpy(&to.sin_addr, address.bytes, 4);
    int fd = fd_of(handle_);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
        return NET_OK;
    if (errno != EINPROGRESS && errno != EINTR)
        return NET_FAILED;
    NetResult waited = wait_for(fd, POLLOUT, timeout_ms);
    if (waited != NET_OK)
        return waited;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
        return NET_FAILED;
    return NET_OK;
}

NetResult TcpConnection::send_all(std::string_view data, int timeout_ms) {
    int fd = fd_of(handle_);
    int64_t deadline = monotonic_milliseconds() + timeout_ms;
    while (!data.empty()) {
        ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            data.remove_prefix(static_cast<size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            int64_t left = deadline - monotonic_milliseconds();
            NetResult waited = wait_for(fd, POLLOUT, left > 0 ? static_cast<int>(left) : 0);
            if (waited != NET_OK)
                return waited;
            continue;
        }
        return errno == EPIPE || errno == ECONNRESET ? NET_CLOSED : NET_FAILED;
    }
    return NET_OK;
}

NetResult TcpConnection::receive(char* buffer, size_t size, size_t& received, int timeout_ms) {
    received = 0;
    int fd = fd_of(handle_);
    int64_t deadline = monotonic_milliseconds() + timeout_ms;
    for (;;) {
        int64_t left = deadline - monotonic_milliseconds();
        NetResult waited = wait_for(fd, POLLIN, left > 0 ? static_cast<int>(left) : 0);
        if (waited != NET_OK)
            return waited;
        ssize_t got = ::recv(fd, buffer, size, 0);
        if (got > 0) {
            received = static_cast<size_t>(got);
            return NET_OK;
        }
        if (got == 0)
            return NET_CLOSED;
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
            continue; // woken without data: wait again for what is left of the time
        return errno == ECONNRESET ? NET_CLOSED : NET_FAILED;
    }
}

void TcpConnection::close() {
    if (handle_ >= 0)
        ::close(fd_of(handle_));
    handle_ = -1;
}

} // namespace vntra
