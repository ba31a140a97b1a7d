#include "tests/unit/loopback_server.h"

#include <chrono>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
using Socket = SOCKET;
using AddressLength = int;
const Socket kNoSocket = INVALID_SOCKET;
constexpr int kNoSignal = 0;
constexpr int kShutSend = SD_SEND;
void CloseSocket(Socket s) {
    closesocket(s);
}
void StartSockets() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
}
void StopSockets() {
    WSACleanup();
}
#else
using Socket = int;
using AddressLength = socklen_t;
const Socket kNoSocket = -1;
constexpr int kNoSignal = MSG_NOSIGNAL;  // a client that closed early must not raise SIGPIPE
constexpr int kShutSend = SHUT_WR;
void CloseSocket(Socket s) {
    close(s);
}
void StartSockets() {}
void StopSockets() {}
#endif

Socket AsSocket(uintptr_t s) {
    return static_cast<Socket>(s);
}

bool WaitReadable(Socket s, int timeoutMs) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(s, &ready);
    timeval wait;
    wait.tv_sec = timeoutMs / 1000;
    wait.tv_usec = (timeoutMs % 1000) * 1000;
    return select(static_cast<int>(s) + 1, &ready, nullptr, nullptr, &wait) > 0;
}

sockaddr_in LoopbackAddress(uint32_t host, uint16_t port) {
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(host);
    return address;
}

// A bound socket on host:port, or kNoSocket.
Socket BindLoopback(uint32_t host, uint16_t port) {
    const Socket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == kNoSocket) return kNoSocket;
#ifndef _WIN32
    // A port another test run just left in TIME_WAIT is free to bind again. (On Windows the same
    // option would let two servers share a port, so it stays off there.)
    const int on = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#endif
    const sockaddr_in address = LoopbackAddress(host, port);
    if (bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        CloseSocket(s);
        return kNoSocket;
    }
    return s;
}

uint16_t BoundPort(Socket s) {
    sockaddr_in address;
    AddressLength length = sizeof address;
    if (getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
    return ntohs(address.sin_port);
}

uint32_t LittleEndian32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

// An HTTP request ends with its empty line; a service request ("lcqb", total length) when its
// length is there. Anything else ends when the client pauses.
bool RequestComplete(const std::string& bytes) {
    if (bytes.find("\r\n\r\n") != std::string::npos) return true;
    return bytes.size() >= 8 && bytes.compare(0, 4, "lcqb") == 0 && bytes.size() >= LittleEndian32(bytes, 4);
}

std::string ReadRequest(Socket s) {
    std::string bytes;
    char buffer[4096];
    while (!RequestComplete(bytes)) {
        if (!WaitReadable(s, bytes.empty() ? 3000 : 300)) break;
        const int n = static_cast<int>(recv(s, buffer, sizeof buffer, 0));
        if (n <= 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    return bytes;
}

void SendAll(Socket s, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int n =
            static_cast<int>(send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), kNoSignal));
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

}  // namespace

LoopbackServer::LoopbackServer(const LoopbackConfig& config) : config_(config) {
    StartSockets();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(config.bindRetryMs);
    Socket s = BindLoopback(config.address, config.port);
    while (s == kNoSocket && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        s = BindLoopback(config.address, config.port);
    }
    if (s == kNoSocket) return;
    if (listen(s, 8) != 0) {
        CloseSocket(s);
        return;
    }
    listener_ = static_cast<uintptr_t>(s);
    port_ = BoundPort(s);
    listening_ = true;
    thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    for (uintptr_t held : held_)
        CloseSocket(AsSocket(held));
    if (listening_) CloseSocket(AsSocket(listener_));
    StopSockets();
}

std::string LoopbackServer::host() const {
    const uint32_t a = config_.address;
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." +
           std::to_string((a >> 8) & 0xFF) + "." + std::to_string(a & 0xFF);
}

std::string LoopbackServer::url() const {
    return "http://" + host() + ":" + std::to_string(port_) + "/";
}

std::vector<std::string> LoopbackServer::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

// Polls in short steps so that the destructor's stop is seen at once.
void LoopbackServer::Serve() {
    const Socket listener = AsSocket(listener_);
    while (!stop_) {
        if (!WaitReadable(listener, 20)) continue;
        const Socket connection = accept(listener, nullptr, nullptr);
        if (connection != kNoSocket) Handle(static_cast<uintptr_t>(connection));
    }
}

void LoopbackServer::Handle(uintptr_t connection) {
    const Socket s = AsSocket(connection);
    const std::string request = config_.mode == LoopbackMode::kCloseAtOnce ? std::string() : ReadRequest(s);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
    }
    if (config_.mode == LoopbackMode::kSilent) {
        held_.push_back(connection);
        return;
    }
    for (size_t i = 0; config_.mode == LoopbackMode::kAnswer && i < config_.reply.size(); ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(config_.pieceGapMs));
        SendAll(s, config_.reply[i]);
    }
    shutdown(s, kShutSend);
    CloseSocket(s);
}

uint16_t UnusedLoopbackPort() {
    StartSockets();
    const Socket s = BindLoopback(INADDR_LOOPBACK, 0);
    const uint16_t port = s == kNoSocket ? 0 : BoundPort(s);
    if (s != kNoSocket) CloseSocket(s);
    StopSockets();
    return port;
}
