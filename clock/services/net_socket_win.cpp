// The TCP client on Winsock.
//
// Winsock 1.1 is started and cleaned up around every call (the calls are rare, and a thread that
// owns its start-up never depends on another one's). The socket stays non-blocking from creation to
// close and every step waits with select(): that is how the connect gets a time-out at all, and it
// keeps one waiting rule for the send and the receives too.
#include "clock/services/net_socket.h"

#include <winsock2.h>

#include <cstring>

namespace {

// WSAStartup and WSACleanup for the lifetime of one call.
struct WinsockSession {
    bool ok = false;
    WinsockSession() {
        WSADATA data;
        ok = WSAStartup(MAKEWORD(1, 1), &data) == 0;
    }
    ~WinsockSession() {
        if (ok) WSACleanup();
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
};

// Waits until s is readable (forWrite false) or writable, or timeoutMs pass. A connect that fails
// is reported in the exception set, not the write set, so that set is watched too and counts as
// "not ready".
bool WaitFor(SOCKET s, bool forWrite, int timeoutMs) {
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    timeval wait;
    wait.tv_sec = timeoutMs / 1000;
    wait.tv_usec = (timeoutMs % 1000) * 1000;
    const int n = select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failed, &wait);
    return n > 0 && FD_ISSET(s, &ready) && !FD_ISSET(s, &failed);
}

bool ConnectWithin(SOCKET s, uint32_t address, uint16_t port, int timeoutMs) {
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    if (connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return true;
    if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
    return WaitFor(s, true, timeoutMs);
}

// The request goes out in one send call; only a short write (a request larger than the socket's
// buffer) makes a second one.
bool SendAll(SOCKET s, const std::string& request, int timeoutMs) {
    size_t sent = 0;
    while (sent < request.size()) {
        if (!WaitFor(s, true, timeoutMs)) return false;
        const size_t rest = request.size() - sent;
        const int chunk = rest > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(rest);
        const int n = send(s, request.data() + sent, chunk, 0);
        if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) continue;
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// One receive of at most capacity bytes appended to *out; false when the peer closed, the wait
// ran out or the receive failed.
bool ReceiveOnce(SOCKET s, size_t capacity, int timeoutMs, std::string* out) {
    char buffer[kReceivePieceBytes];
    const int size = static_cast<int>(capacity < sizeof buffer ? capacity : sizeof buffer);
    for (;;) {
        if (!WaitFor(s, false, timeoutMs)) return false;
        const int n = recv(s, buffer, size, 0);
        if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) continue;
        if (n <= 0) return false;
        out->append(buffer, static_cast<size_t>(n));
        return true;
    }
}

}  // namespace

uint32_t ResolveHost(const std::string& host) {
    if (host.empty()) return 0;
    WinsockSession winsock;
    if (!winsock.ok) return 0;
    const unsigned long dotted = inet_addr(host.c_str());
    if (dotted != INADDR_NONE) return static_cast<uint32_t>(dotted);
    // Winsock keeps gethostbyname's result per thread, so worker threads may look up at once.
    const hostent* found = gethostbyname(host.c_str());
    if (!found || found->h_addrtype != AF_INET || !found->h_addr_list || !found->h_addr_list[0]) return 0;
    in_addr first;
    memcpy(&first, found->h_addr_list[0], sizeof first);
    return static_cast<uint32_t>(first.s_addr);
}

std::string TcpExchange(uint32_t address, uint16_t port, const std::string& request, TcpReceive how,
                        int timeoutMs, size_t maxBytes) {
    WinsockSession winsock;
    if (!winsock.ok) return std::string();
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return std::string();
    std::string received;
    u_long nonBlocking = 1;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) == 0 && ConnectWithin(s, address, port, timeoutMs) &&
        SendAll(s, request, timeoutMs)) {
        if (how == TcpReceive::kOnce) {
            ReceiveOnce(s, kSingleReceiveBytes, timeoutMs, &received);
        } else {
            while (received.size() <= maxBytes && ReceiveOnce(s, kReceivePieceBytes, timeoutMs, &received)) {
            }
        }
    }
    shutdown(s, SD_BOTH);
    closesocket(s);
    return received;
}
