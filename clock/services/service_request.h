// The transport of one exchange with the maker's service (the about window's donation lists): a
// request of bytes sent over TCP to the first of the service addresses that answers, the reply
// read until the service closes. Blocking: the caller runs it on a thread of its own and decides
// how long to wait for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t kServiceDefaultPort = 5252;
// Connect and receive time-out of one address, so that a silent service moves on to the next.
constexpr int kServiceTimeoutMs = 20000;
// The largest reply taken. The donation lists are a few kilobytes; a service that sends more is
// broken or hostile and must not fill the memory.
constexpr size_t kServiceReplyMaxBytes = 1 << 20;

// A request as the caller gives it, taken apart.
struct ServiceTarget {
    uint16_t port = kServiceDefaultPort;
    std::string body;  // the bytes sent: the request from its "lcqb" on
};

// A request may start with a decimal port number right before its "lcqb"; those digits choose the
// port and are not sent, since the service reads its request from the "lcqb" on (the length field
// after it counts no prefix). Without such digits the request is sent whole to port 5252; digits
// that are no port (0 or above 65535) are dropped all the same and the port stays 5252.
ServiceTarget SplitServicePort(const std::string& request);

// The host of a service address: spaces trimmed, a scheme prefix ("name://") dropped, and the text
// from the first "/", "\" or ":" on cut away. Empty when nothing is left.
std::string ServiceHost(const std::string& address);

// Sends the request to each address in order (host as ServiceHost gives it, port as
// SplitServicePort finds it) and returns the first non-empty reply, read in 4096-byte pieces until
// the service closes. Empty when every address failed. timeoutMs bounds each connect and each
// receive of each address. A reply over kServiceReplyMaxBytes is garbage: its reading stops there
// and the result is empty, with no further address asked, as a damaged reply ends the exchange.
std::string ServiceRequest(const std::string& request, const std::vector<std::string>& addresses,
                           int timeoutMs = kServiceTimeoutMs);
