// The about window's donation lists as the program holds them: DonationData, downloaded once per
// process from the maker's service, or put there by the donate button's reply. The window thread
// reads it to paint while a download thread may write it, so it is kept behind a lock.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "clock/core/date_value.h"

// How long the caller of an exchange waits before giving up on it (60 s and 1 ms: a reply at 60 s
// exactly still counts).
constexpr int kServiceGiveUpMs = 60001;

// A copy of the lists as last stored; "" until a download or the donate button stored some.
std::string DonationDataNow();

// Keeps data as the lists when it is not empty; false (and nothing changed) for empty data.
bool StoreDonationData(const std::string& data);

// Runs exchange on a thread of its own and waits at most timeoutMs for its reply. A reply that
// comes later is thrown away by that thread, whose state outlives this call; so the caller never
// waits longer than the limit however long the exchange hangs. "" after giving up.
std::string ExchangeWithin(std::function<std::string()> exchange, int timeoutMs);

// What one download attempt came to.
enum class DownloadResult {
    kAlreadyHeld,  // the lists were there already: nothing was asked
    kBusy,         // another download is under way
    kStored,       // the service answered with lists, now stored
    kFailed,       // no service, no "//lc//ok", or the lists did not unpack
};

// One download: unless lists are held or another download runs, sends the request for random,
// software number and now to the first answering address (ServiceRequest) within giveUpMs, and
// stores the unpacked lists. Blocking: the window calls it on a thread of its own.
DownloadResult DownloadDonationData(double random, int softwareNumber, DateValue now,
                                    const std::vector<std::string>& addresses,
                                    int giveUpMs = kServiceGiveUpMs, int addressTimeoutMs = 20000);

// Forgets the lists, so tests start from a process's first state. Tests only.
void ClearDonationDataForTesting();
