// A small TCP server on a loopback address (127.0.0.1 unless told) for the network tests: real sockets
// (POSIX, or Winsock when the tests run under Wine), one thread that accepts connections one after the other
// and treats each as its mode says, and a record of the bytes every connection sent.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

enum class LoopbackMode {
    kAnswer,       // read the request, send the reply pieces, close
    kSilent,       // read the request, then hold the connection open and never answer
    kCloseAtOnce,  // close each connection as soon as it is accepted
};

struct LoopbackConfig {
    LoopbackMode mode = LoopbackMode::kAnswer;
    std::vector<std::string> reply;  // sent in these pieces, with pieceGapMs between them
    int pieceGapMs = 200;
    uint32_t address = 0x7F000001;  // host byte order; any of 127.0.0.0/8 is this machine
    uint16_t port = 0;              // 0: a free port the system picks
    int bindRetryMs = 0;            // keep trying to bind a busy port this long
};

class LoopbackServer {
  public:
    explicit LoopbackServer(const LoopbackConfig& config);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // False when the port could not be bound; the server then does nothing.
    bool listening() const { return listening_; }
    uint16_t port() const { return port_; }
    // "http://<address>:<port>/", for the URL forms that carry a port.
    std::string url() const;

    // The dotted address it listens on.
    std::string host() const;

    // The bytes each accepted connection sent before the server answered (empty for
    // kCloseAtOnce), in the order of the connections.
    std::vector<std::string> requests() const;

  private:
    void Serve();
    void Handle(uintptr_t connection);

    LoopbackConfig config_;
    bool listening_ = false;
    uint16_t port_ = 0;
    uintptr_t listener_ = 0;
    std::vector<uintptr_t> held_;  // kSilent connections, closed when the server stops
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A port on 127.0.0.1 that nothing listens on (bound for a moment and released).
uint16_t UnusedLoopbackPort();
