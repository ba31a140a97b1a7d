// A minimal blocking IPv4 TCP client: the network time check and the service exchange of the about
// window are its only users, and this is the only place that includes socket headers. Each call is
// self-contained: on Windows it starts Winsock 1.1 and cleans it up again around its own work, so a
// thread may call it at any time without any set-up of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How TcpExchange reads the answer.
enum class TcpReceive {
    kOnce,        // one receive call of at most kSingleReceiveBytes
    kUntilClose,  // receives of kReceivePieceBytes each until the peer closes its side
};

constexpr size_t kSingleReceiveBytes = 1000;
constexpr size_t kReceivePieceBytes = 4096;

// The IPv4 address, in network byte order (as inet_addr gives it), of host: a dotted-decimal text
// directly, otherwise the first address of a host-name look-up. 0 when neither works (an empty
// host included).
uint32_t ResolveHost(const std::string& host);

// Connects to address (network byte order) on port, sends request, reads the answer as how says,
// then shuts the socket down in both directions and closes it whatever happened. The connect and
// every receive each wait at most timeoutMs (a silent peer cannot hold the calling thread). Returns
// the bytes received; empty when the connect or the send failed or nothing came. A receive that
// fails or times out after some bytes came ends the reading with what came. Reading also ends as
// soon as more than maxBytes came, so a peer that never stops cannot fill the memory; the result is
// then longer than maxBytes (by at most one piece), which tells the caller the answer was cut.
std::string TcpExchange(uint32_t address, uint16_t port, const std::string& request, TcpReceive how,
                        int timeoutMs, size_t maxBytes);
