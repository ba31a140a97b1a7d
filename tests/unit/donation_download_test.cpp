// The donation download end to end against loopback services: the request the service receives,
// the lists stored from its reply, once per process, and every way the service can fail.
#include "clock/services/donation_download.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "clock/services/donation.h"
#include "tests/unit/loopback_server.h"

namespace {

// The lists as the service sends them: two parts, entries and fields by their separators.
const std::string kLists = std::string("1765180800\x03") + "\xe5\xbc\xa0\xe4\xb8\x89" + "\x03" + "500\x03" +
                           "\xe5\x8a\xa0\xe6\xb2\xb9" + "\x01" + "\xe6\x9d\x8e\xe5\x9b\x9b" + "\x03" +
                           "12345";

std::string Packed(const std::string& text) {
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(text.data()),
             static_cast<uLong>(text.size()));
    packed.resize(size);
    return packed;
}

std::string Unpacked(const std::string& packed, size_t room) {
    std::string text(room, '\0');
    uLongf size = static_cast<uLongf>(room);
    if (uncompress(reinterpret_cast<Bytef*>(&text[0]), &size, reinterpret_cast<const Bytef*>(packed.data()),
                   static_cast<uLong>(packed.size())) != Z_OK)
        return "";
    text.resize(size);
    return text;
}

uint32_t LittleEndian32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
    return value;
}

// A service on 127.0.0.x, port 5252 (the request carries no port): each test its own address, so
// that tests running side by side do not meet.
LoopbackConfig ServiceAt(int x, LoopbackMode mode, std::vector<std::string> reply = {}) {
    LoopbackConfig config{mode, std::move(reply)};
    config.address = 0x7F000000u + static_cast<uint32_t>(x);
    config.port = 5252;
    config.bindRetryMs = 5000;
    return config;
}

std::string Host(int x) {
    return "127.0.0." + std::to_string(x);
}

class DonationDownload : public ::testing::Test {
  protected:
    void SetUp() override { ClearDonationDataForTesting(); }
    void TearDown() override { ClearDonationDataForTesting(); }
};

TEST_F(DonationDownload, StoresTheListsOfAnOkReplyAndAsksOnlyOnce) {
    LoopbackServer service(ServiceAt(21, LoopbackMode::kAnswer, {"//lc//ok" + Packed(kLists)}));
    ASSERT_TRUE(service.listening());
    EXPECT_EQ(DownloadDonationData(0.25, 190, 46364.5, {Host(21)}), DownloadResult::kStored);
    EXPECT_EQ(DonationDataNow(), kLists);
    const DonationRows rows = SplitDonationData(DonationDataNow(), -480);
    EXPECT_EQ(rows.latest[0].amount, "5.00");
    EXPECT_EQ(rows.ranking[0].total, "123.45");

    // What the service got: the framing around the packed text, with the length of it all.
    ASSERT_EQ(service.requests().size(), 1u);
    const std::string request = service.requests()[0];
    ASSERT_GT(request.size(), 12u);
    EXPECT_EQ(request.substr(0, 4), "lcqb");
    EXPECT_EQ(LittleEndian32(request, 4), request.size());
    EXPECT_EQ(request.substr(8, 4), "DSLB");
    EXPECT_EQ(Unpacked(request.substr(12), 1000), DonationRequestText(0.25, 190, 46364.5));

    // Held for the life of the process: a second window asks nobody.
    EXPECT_EQ(DownloadDonationData(0.5, 190, 46365, {Host(21)}), DownloadResult::kAlreadyHeld);
    EXPECT_EQ(service.requests().size(), 1u);
}

TEST_F(DonationDownload, TriesTheAddressesInOrderPastOneThatClosesAtOnce) {
    LoopbackServer closes(ServiceAt(22, LoopbackMode::kCloseAtOnce));
    LoopbackServer answers(ServiceAt(23, LoopbackMode::kAnswer, {"//lc//ok" + Packed(kLists)}));
    ASSERT_TRUE(closes.listening() && answers.listening());
    EXPECT_EQ(DownloadDonationData(0.1, 190, 46364, {Host(22), Host(23)}), DownloadResult::kStored);
    EXPECT_EQ(DonationDataNow(), kLists);
}

TEST_F(DonationDownload, GarbageOrAServiceThatClosesLeavesTheListsEmpty) {
    LoopbackServer garbage(ServiceAt(24, LoopbackMode::kAnswer, {"HTTP/1.0 404 Not Found\r\n\r\n"}));
    LoopbackServer badPacking(ServiceAt(25, LoopbackMode::kAnswer, {"//lc//ok not packed at all"}));
    LoopbackServer closes(ServiceAt(26, LoopbackMode::kCloseAtOnce));
    ASSERT_TRUE(garbage.listening() && badPacking.listening() && closes.listening());
    EXPECT_EQ(DownloadDonationData(0.1, 190, 46364, {Host(24)}), DownloadResult::kFailed);
    EXPECT_EQ(DownloadDonationData(0.1, 190, 46364, {Host(25)}), DownloadResult::kFailed);
    EXPECT_EQ(DownloadDonationData(0.1, 190, 46364, {Host(26)}), DownloadResult::kFailed);
    EXPECT_EQ(DonationDataNow(), "");
    // A failed attempt leaves the next one free to ask again.
    EXPECT_EQ(garbage.requests().size(), 1u);
    EXPECT_EQ(DownloadDonationData(0.1, 190, 46364, {Host(24)}), DownloadResult::kFailed);
    EXPECT_EQ(garbage.requests().size(), 2u);
}

TEST_F(DonationDownload, GivesUpOnASilentServiceAtTheLimit) {
    LoopbackServer silent(ServiceAt(27, LoopbackMode::kSilent));
    ASSERT_TRUE(silent.listening());
    // The service holds the connection for good; the caller's limit ends the wait, not the service.
    EXPECT_EQ(DownloadDonationData(0.1, 190, 46364, {Host(27)}, 300, 60000), DownloadResult::kFailed);
    EXPECT_EQ(DonationDataNow(), "");
}

TEST(ExchangeWithin, DiscardsAReplyThatComesAfterTheCallerGaveUp) {
    std::atomic<bool> finished{false};
    const std::string reply = ExchangeWithin(
        [&finished] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            finished = true;
            return std::string("late");
        },
        50);
    EXPECT_EQ(reply, "");
    EXPECT_FALSE(finished) << "the caller waited for the exchange to end";
    while (!finished)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ExchangeWithin([] { return std::string("in time"); }, 5000), "in time");
}

TEST(StoreDonationData, KeepsOnlyListsThatAreThere) {
    ClearDonationDataForTesting();
    EXPECT_FALSE(StoreDonationData(""));
    EXPECT_EQ(DonationDataNow(), "");
    EXPECT_TRUE(StoreDonationData(kLists));
    EXPECT_EQ(DonationDataNow(), kLists);
    ClearDonationDataForTesting();
}

}  // namespace
