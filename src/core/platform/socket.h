// One TCP connection to a server, with every wait bounded. Just what the mail
// session needs: IPv4 names, connect, send, receive.
#ifndef VNTRA_PLATFORM_SOCKET_H
#define VNTRA_PLATFORM_SOCKET_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vntra {

// Starts the system's network layer for one session (Winsock needs it; other
// systems have nothing to start). Stopped again when the guard goes.
class NetLayer {
  public:
    NetLayer();
    ~NetLayer();
    NetLayer(const NetLayer&) = delete;
    NetLayer& operator=(const NetLayer&) = delete;
    bool started() const { return started_; }

  private:
    bool started_;
};

struct NetAddress {
    uint8_t bytes[4]; // IPv4, network order
};

// The first IPv4 address of a host name or dotted address; false when unknown.
bool resolve_host(const std::string& name, NetAddress& address);

// The TCP port of a named service in the system's services database, or 0.
int service_port(const char* name);

enum NetResult {
    NET_OK = 0,
    NET_FAILED = 1,    // refused, unreachable, reset
    NET_TIMED_OUT = 2, // nothing happened within the time allowed
    NET_CLOSED = 3,    // the peer closed the connection
};

class TcpConnection {
  public:
    TcpConnection() = default;
    ~TcpConnection() { close(); }
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    bool open();
    NetResult connect(const NetAddress& address, int port, int timeout_ms);
    // Sends every byte or reports why not.
    NetResult send_all(std::string_view data, int timeout_ms);
    // Waits at most timeout_ms for data and takes what has arrived, up to
    // size bytes; `received` is above 0 whenever the result is NET_OK.
    NetResult receive(char* buffer, size_t size, size_t& received, int timeout_ms);
    void close();

  private:
    intptr_t handle_ = -1;
};

} // namespace vntra

#endif
