#include "clock/services/service_request.h"

#include "clock/services/net_socket.h"

ServiceTarget SplitServicePort(const std::string& request) {
    ServiceTarget target;
    size_t digits = 0;
    while (digits < request.size() && request[digits] >= '0' && request[digits] <= '9')
        ++digits;
    if (digits == 0 || request.compare(digits, 4, "lcqb") != 0) {
        target.body = request;
        return target;
    }
    // Six digits already pass the largest port; reading no further keeps the value small.
    uint32_t port = 0;
    for (size_t i = 0; i < digits && port <= 65535; ++i)
        port = port * 10 + static_cast<uint32_t>(request[i] - '0');
    if (port >= 1 && port <= 65535) target.port = static_cast<uint16_t>(port);
    target.body = request.substr(digits);
    return target;
}

std::string ServiceHost(const std::string& address) {
    const size_t first = address.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    std::string host = address.substr(first, address.find_last_not_of(' ') - first + 1);
    // A scheme is only a "://" before any other separator; one further on belongs to a path.
    size_t cut = host.find_first_of("/\\:");
    if (cut != std::string::npos && host.compare(cut, 3, "://") == 0) {
        host.erase(0, cut + 3);
        cut = host.find_first_of("/\\:");
    }
    if (cut != std::string::npos) host.erase(cut);
    return host;
}

std::string ServiceRequest(const std::string& request, const std::vector<std::string>& addresses,
                           int timeoutMs) {
    const ServiceTarget target = SplitServicePort(request);
    for (const std::string& entry : addresses) {
        const uint32_t address = ResolveHost(ServiceHost(entry));
        if (address == 0) continue;
        std::string reply = TcpExchange(address, target.port, target.body, TcpReceive::kUntilClose, timeoutMs,
                                        kServiceReplyMaxBytes);
        if (reply.size() > kServiceReplyMaxBytes) return std::string();
        if (!reply.empty()) return reply;
    }
    return std::string();
}
