// The TCP client on POSIX sockets (the Linux builds: unit tests and tools).
//
// The socket stays non-blocking from creation to close and every step waits with poll(): that is
// how the connect gets a time-out at all, and it keeps one waiting rule for the send and the
// receives too. poll() rather than select(), which breaks on descriptors past FD_SETSIZE.
#include "clock/services/net_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Waits until fd is ready for events or timeoutMs pass; false on time-out or error. A signal
// that interrupts the wait does not shorten it to nothing: the wait starts again.
bool WaitFor(int fd, short events, int timeoutMs) {
    pollfd p = {fd, events, 0};
    for (;;) {
        const int n = poll(&p, 1, timeoutMs);
        if (n > 0) return true;
        if (n == 0 || errno != EINTR) return false;
    }
}

bool ConnectWithin(int fd, uint32_t address, uint16_t port, int timeoutMs) {
    sockaddr_in to;
    std::memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return true;
    if (errno != EINPROGRESS) return false;
    if (!WaitFor(fd, POLLOUT, timeoutMs)) return false;
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

// The request goes out in one send call; only a short write (a request larger than the socket's
// buffer) makes a second one. MSG_NOSIGNAL: a peer that already closed must not raise SIGPIPE.
bool SendAll(int fd, const std::string& request, int timeoutMs) {
    size_t sent = 0;
    while (sent < request.size()) {
        if (!WaitFor(fd, POLLOUT, timeoutMs)) return false;
        const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// One receive of at most capacity bytes appended to *out; false when the peer closed, the wait
// ran out or the receive failed.
bool ReceiveOnce(int fd, size_t capacity, int timeoutMs, std::string* out) {
    char buffer[kReceivePieceBytes];
    for (;;) {
        if (!WaitFor(fd, POLLIN, timeoutMs)) return false;
        const ssize_t n = recv(fd, buffer, capacity < sizeof buffer ? capacity : sizeof buffer, 0);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
        if (n <= 0) return false;
        out->append(buffer, static_cast<size_t>(n));
        return true;
    }
}

}  // namespace

uint32_t ResolveHost(const std::string& host) {
    if (host.empty()) return 0;
    const in_addr_t dotted = inet_addr(host.c_str());
    if (dotted != INADDR_NONE) return dotted;
    // getaddrinfo, not gethostbyname: the look-up runs on worker threads, and gethostbyname's
    // static result is not thread-safe on POSIX.
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return 0;
    const uint32_t address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return address;
}

std::string TcpExchange(uint32_t address, uint16_t port, const std::string& request, TcpReceive how,
                        int timeoutMs, size_t maxBytes) {
    const int fd = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (fd < 0) return std::string();
    std::string received;
    const int flags = fcntl(fd, F_GETFL, 0);
    if (flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
        ConnectWithin(fd, address, port, timeoutMs) && SendAll(fd, request, timeoutMs)) {
        if (how == TcpReceive::kOnce) {
            ReceiveOnce(fd, kSingleReceiveBytes, timeoutMs, &received);
        } else {
            while (received.size() <= maxBytes && ReceiveOnce(fd, kReceivePieceBytes, timeoutMs, &received)) {
            }
        }
    }
    shutdown(fd, SHUT_RDWR);
    close(fd);
    return received;
}
