#include "clock/services/donation_download.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "clock/services/donation.h"
#include "clock/services/service_request.h"

namespace {

std::mutex gDataLock;
std::string gDonationData;
std::atomic<bool> gDownloading{false};

// Shared by the caller and the exchange's thread; whoever ends last frees it.
struct PendingExchange {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    std::string reply;
};

// Clears the busy flag however the download ends.
struct DownloadTurn {
    bool taken = false;
    DownloadTurn() {
        bool expected = false;
        taken = gDownloading.compare_exchange_strong(expected, true);
    }
    ~DownloadTurn() {
        if (taken) gDownloading = false;
    }
};

}  // namespace

std::string DonationDataNow() {
    std::lock_guard<std::mutex> hold(gDataLock);
    return gDonationData;
}

bool StoreDonationData(const std::string& data) {
    if (data.empty()) return false;
    std::lock_guard<std::mutex> hold(gDataLock);
    gDonationData = data;
    return true;
}

std::string ExchangeWithin(std::function<std::string()> exchange, int timeoutMs) {
    auto pending = std::make_shared<PendingExchange>();
    try {
        std::thread([pending, exchange] {
            std::string reply = exchange();
            std::lock_guard<std::mutex> hold(pending->lock);
            pending->reply = std::move(reply);
            pending->finished = true;
            pending->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return "";  // no thread to be had: as if the service had not answered
    }
    std::unique_lock<std::mutex> hold(pending->lock);
    if (!pending->done.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                                [&] { return pending->finished; }))
        return "";
    return std::move(pending->reply);
}

DownloadResult DownloadDonationData(double random, int softwareNumber, DateValue now,
                                    const std::vector<std::string>& addresses, int giveUpMs,
                                    int addressTimeoutMs) {
    if (!DonationDataNow().empty()) return DownloadResult::kAlreadyHeld;
    DownloadTurn turn;
    if (!turn.taken) return DownloadResult::kBusy;
    const std::string request = DonationRequest(random, softwareNumber, now);
    if (request.empty()) return DownloadResult::kFailed;
    const std::string reply =
        ExchangeWithin([request, addresses,
                        addressTimeoutMs] { return ServiceRequest(request, addresses, addressTimeoutMs); },
                       giveUpMs);
    return StoreDonationData(UnpackServiceReply(reply)) ? DownloadResult::kStored : DownloadResult::kFailed;
}

void ClearDonationDataForTesting() {
    std::lock_guard<std::mutex> hold(gDataLock);
    gDonationData.clear();
}
