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

// The lists and their lock. A download thread is never joined and may store its lists while the
// program exits, after file-scope objects are destroyed; so they live on the heap and are never
// freed (the process ends with them), and the busy flag is a trivially destroyed atomic.
struct DonationStore {
    std::mutex lock;
    std::string data;
};

DonationStore& Store() {
    static DonationStore* const store = new DonationStore;
    return *store;
}

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
    DonationStore& store = Store();
    std::lock_guard<std::mutex> hold(store.lock);
    return store.data;
}

bool StoreDonationData(const std::string& data) {
    if (data.empty()) return false;
    DonationStore& store = Store();
    std::lock_guard<std::mutex> hold(store.lock);
    store.data = data;
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
    DonationStore& store = Store();
    std::lock_guard<std::mutex> hold(store.lock);
    store.data.clear();
}
