// The donation lists: request texts and their framing, the reply, and the rows the window draws.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <random>
#include <string>

#include "clock/services/donation.h"
#include "clock/services/service_request.h"

namespace {

using namespace std::string_literals;

// Adler-32 from its definition: two sums modulo 65521, the first of the bytes, the second of the
// first sum after each byte; the checksum is second << 16 | first. Started at 0, not at 1.
uint32_t AdlerFromZero(const std::string& bytes) {
    uint32_t a = 0, b = 0;
    for (unsigned char c : bytes) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

std::string Packed(const std::string& text) {
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string packed(size, '\0');
    EXPECT_EQ(compress(reinterpret_cast<Bytef*>(&packed[0]), &size,
                       reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size())),
              Z_OK);
    packed.resize(size);
    return packed;
}

std::string Joined(std::initializer_list<std::string> items, char separator) {
    std::string text;
    bool first = true;
    for (const std::string& item : items) {
        if (!first) text += separator;
        text += item;
        first = false;
    }
    return text;
}
std::string Entry(std::initializer_list<std::string> fields) {
    return Joined(fields, kDonationFieldSeparator);
}
std::string Part(std::initializer_list<std::string> entries) {
    return Joined(entries, kDonationEntrySeparator);
}

// Bytes zlib cannot shrink, so the packed request is longer than 255 bytes.
std::string NoisyText(size_t size) {
    std::string text;
    uint32_t state = 12345;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        text += static_cast<char>(state >> 16);
    }
    return text;
}

TEST(DonationRequestTest, NumbersAreShortPlainDecimals) {
    EXPECT_EQ(FormatRequestNumber(0.5), "0.5");
    EXPECT_EQ(FormatRequestNumber(46364.5), "46364.5");
    EXPECT_EQ(FormatRequestNumber(45000), "45000");
    EXPECT_EQ(FormatRequestNumber(0), "0");
    EXPECT_EQ(FormatRequestNumber(-0.0), "0");
    EXPECT_EQ(FormatRequestNumber(0.1), "0.1");
    EXPECT_EQ(FormatRequestNumber(0.00001), "0.00001");
    EXPECT_EQ(FormatRequestNumber(2.0 / 3), "0.6666666666666666");
    EXPECT_EQ(FormatRequestNumber(0.12345678901234567), "0.1234567890123457");  // rounded to 16 digits
    EXPECT_EQ(FormatRequestNumber(45455.123456789), "45455.123456789");
    EXPECT_EQ(FormatRequestNumber(-1.25), "-1.25");
    EXPECT_EQ(FormatRequestNumber(1e20), "100000000000000000000");
    // The largest double below 1 must not round up to "1": the service expects [0, 1).
    EXPECT_EQ(FormatRequestNumber(std::nextafter(1.0, 0.0)), "0.9999999999999999");
    EXPECT_EQ(FormatRequestNumber(std::nan("")), "0");
}

TEST(DonationRequestTest, TextEndsWithAdlerFromZeroOfEverythingBefore) {
    const std::string text = DonationRequestText(0.25, 190, 45455.5);
    const std::string head = std::string("0.25\x01") + "190\x01" + "45455.5\x01";
    ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
    const std::string checksum = text.substr(head.size());
    ASSERT_FALSE(checksum.empty());
    EXPECT_EQ(checksum.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_EQ(std::stoul(checksum), AdlerFromZero(head));
    // Started at 1 the first sum would be one more: the start value really is 0.
    EXPECT_NE(std::stoul(checksum),
              adler32(adler32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(head.data()),
                      static_cast<uInt>(head.size())));
}

TEST(DonationRequestTest, FrameCarriesLengthKindAndPackedText) {
    for (const std::string& text : {DonationRequestText(0.75, 190, 45000), NoisyText(1000)}) {
        const std::string request = FrameDonationRequest(text);
        ASSERT_GT(request.size(), 12u);
        EXPECT_EQ(request.substr(0, 4), "lcqb");
        EXPECT_EQ(request.substr(8, 4), "DSLB");
        const uint32_t length = static_cast<unsigned char>(request[4]) |
                                static_cast<unsigned char>(request[5]) << 8 |
                                static_cast<unsigned char>(request[6]) << 16 |
                                static_cast<uint32_t>(static_cast<unsigned char>(request[7])) << 24;
        EXPECT_EQ(length, request.size());

        std::string unpacked(text.size() + 16, '\0');
        uLongf size = static_cast<uLongf>(unpacked.size());
        ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(&unpacked[0]), &size,
                             reinterpret_cast<const Bytef*>(request.data() + 12),
                             static_cast<uLong>(request.size() - 12)),
                  Z_OK);
        unpacked.resize(size);
        EXPECT_EQ(unpacked, text);
    }
    EXPECT_GT(FrameDonationRequest(NoisyText(1000)).size(), 1000u);  // the length's second byte in use
    EXPECT_EQ(DonationRequest(0.75, 190, 45000), FrameDonationRequest(DonationRequestText(0.75, 190, 45000)));
}

TEST(DonationRequestTest, DonateTextJoinsNumberAccountAndPassword) {
    EXPECT_EQ(DonateRequestText(190, u8"张三", "pw"), "190\x01"s + u8"张三" + "\x01pw");
    EXPECT_EQ(DonateRequestText(190, "", ""), "190\x01\x01");
}

TEST(ServiceReplyTest, OkReplyUnpacksAnythingElseIsEmpty) {
    const std::string data = Entry({"1718035200", "Ann", "500", "hi"}) + "\x01" + Entry({"Bob", "9900"});
    EXPECT_EQ(UnpackServiceReply("//lc//ok" + Packed(data)), data);
    EXPECT_EQ(UnpackServiceReply("//lc//ok" + Packed("")), "");

    EXPECT_EQ(UnpackServiceReply("//lc//no" + Packed(data)), "");
    EXPECT_EQ(UnpackServiceReply("//LC//OK" + Packed(data)), "");
    EXPECT_EQ(UnpackServiceReply("//lc//o"), "");
    EXPECT_EQ(UnpackServiceReply("//lc//ok"), "");
    EXPECT_EQ(UnpackServiceReply(""), "");
    EXPECT_EQ(UnpackServiceReply("//lc//ok not packed at all"), "");
    const std::string packed = Packed(data);
    EXPECT_EQ(UnpackServiceReply("//lc//ok" + packed.substr(0, packed.size() - 5)), "");  // cut short
    // More than ten times its packed size does not fit the buffer.
    EXPECT_EQ(UnpackServiceReply("//lc//ok" + Packed(std::string(100000, 'x'))), "");
}

TEST(ServiceReplyTest, RepliesOverOneMebibyteOrUnpackingOverFourAreGarbage) {
    // Two letters at random pack to about a sixth: neither the reply's cap nor the ten-fold rule is
    // what refuses the larger text.
    std::mt19937 bits(7);
    std::string data(kServiceDataMaxBytes + 1, 'a');
    for (char& c : data)
        if (bits() & 1) c = 'b';
    const std::string over = Packed(data);
    ASSERT_LE(8 + over.size(), kServiceReplyMaxBytes);
    ASSERT_GT(over.size() * 10, data.size());
    EXPECT_TRUE(UnpackServiceReply("//lc//ok" + over).empty());
    data.pop_back();
    EXPECT_TRUE(UnpackServiceReply("//lc//ok" + Packed(data)) == data);

    // Bytes after the packed lists are ignored by the unpacking, but not past the reply's cap.
    const std::string lists = Entry({"1718035200", "Ann", "500", "hi"});
    const std::string reply = "//lc//ok" + Packed(lists);
    EXPECT_EQ(UnpackServiceReply(reply + std::string(kServiceReplyMaxBytes - reply.size(), 'x')), lists);
    EXPECT_EQ(UnpackServiceReply(reply + std::string(kServiceReplyMaxBytes - reply.size() + 1, 'x')), "");
}

TEST(DonationRowsTest, FieldsBecomeRowsAndMissingOnesStayEmpty) {
    const std::string latest = Part({Entry({"1718035200", "Ann", "1234", "thanks"}),
                                     Entry({"1717981200", "Bob"}), "", Entry({"junk", "Cy", "12.5"})});
    const std::string data = latest + "\x01" + Part({Entry({"Ann", "99900"}), "Bob"});
    const DonationRows rows = SplitDonationData(data, -480);
    EXPECT_EQ(rows.latest[0].date, "2024-06-11");
    EXPECT_EQ(rows.latest[0].name, "Ann");
    EXPECT_EQ(rows.latest[0].amount, "12.34");
    EXPECT_EQ(rows.latest[0].message, "thanks");
    EXPECT_EQ(rows.latest[1].date, "2024-06-10");
    EXPECT_EQ(rows.latest[1].name, "Bob");
    EXPECT_EQ(rows.latest[1].amount + rows.latest[1].message, "");
    EXPECT_EQ(rows.latest[2].date + rows.latest[2].name, "");  // an empty entry
    EXPECT_EQ(rows.latest[3].date, "");                        // garbage time and amount
    EXPECT_EQ(rows.latest[3].name, "Cy");
    EXPECT_EQ(rows.latest[3].amount, "");
    for (int i = 4; i < kLatestDonationRows; ++i)
        EXPECT_EQ(rows.latest[i].date + rows.latest[i].name + rows.latest[i].amount + rows.latest[i].message,
                  "");

    EXPECT_EQ(rows.ranking[0].name, "Ann");
    EXPECT_EQ(rows.ranking[0].total, "999.00");
    EXPECT_EQ(rows.ranking[1].name, "Bob");
    EXPECT_EQ(rows.ranking[1].total, "");
    for (int i = 0; i < kDonorRankingRows; ++i) {
        EXPECT_EQ(rows.ranking[i].rank, std::to_string(i + 1));
        if (i >= 2) {
            EXPECT_EQ(rows.ranking[i].name + rows.ranking[i].total, "") << i;
        }
    }
}

TEST(DonationRowsTest, OnlyTheFirstEightAndNineEntriesShowAndPartsMayBeMissing) {
    std::string latest, ranking;
    for (int i = 0; i < 12; ++i) {
        latest += (i ? "\x02" : "") + std::to_string(1704052800 + i * 86400) + "\x03n" + std::to_string(i) +
                  "\x03" + std::to_string(i);
        ranking += (i ? "\x02r" : "r") + std::to_string(i) + "\x03" + std::to_string(100 * i);
    }
    DonationRows rows = SplitDonationData(latest + "\x01" + ranking, 0);
    EXPECT_EQ(rows.latest[7].name, "n7");
    EXPECT_EQ(rows.latest[7].date, "2024-01-07");
    EXPECT_EQ(rows.latest[7].amount, "0.07");
    EXPECT_EQ(rows.ranking[8].name, "r8");
    EXPECT_EQ(rows.ranking[8].total, "8.00");

    rows = SplitDonationData(latest, 0);  // no ranking part
    EXPECT_EQ(rows.latest[0].name, "n0");
    EXPECT_EQ(rows.ranking[0].rank, "1");
    EXPECT_EQ(rows.ranking[0].name, "");
    rows = SplitDonationData("", 0);
    EXPECT_EQ(rows.latest[0].date + rows.latest[0].name, "");
    EXPECT_EQ(rows.ranking[8].rank, "9");
}

TEST(DonationTextsTest, DatesFollowTheBiasAcrossMidnight) {
    EXPECT_EQ(FormatDonationDate("1718035200", 0), "2024-06-10");     // 16:00 UTC
    EXPECT_EQ(FormatDonationDate("1718035200", -480), "2024-06-11");  // midnight in Beijing
    EXPECT_EQ(FormatDonationDate("1718035199", -480), "2024-06-10");
    EXPECT_EQ(FormatDonationDate("1717981200", 300), "2024-06-09");   // 01:00 UTC is 20:00 the day before
    EXPECT_EQ(FormatDonationDate("1704052800", -480), "2024-01-01");  // across the year's end
    EXPECT_EQ(FormatDonationDate("1709251200", 60), "2024-02-29");    // back into a leap day
    EXPECT_EQ(FormatDonationDate("0", 0), "1970-01-01");
    EXPECT_EQ(FormatDonationDate("-86400", 0), "1969-12-31");
    for (const char* bad :
         {"", "-", "abc", "12x", "1e9", " 1718035200", "1718035200.5", "9999999999999999", "999999999999999"})
        EXPECT_EQ(FormatDonationDate(bad, 0), "") << bad;
}

TEST(DonationTextsTest, AmountsAreHundredthsWithTwoDecimals) {
    EXPECT_EQ(FormatDonationAmount("1234"), "12.34");
    EXPECT_EQ(FormatDonationAmount("5"), "0.05");
    EXPECT_EQ(FormatDonationAmount("0"), "0.00");
    EXPECT_EQ(FormatDonationAmount("100"), "1.00");
    EXPECT_EQ(FormatDonationAmount("007"), "0.07");
    EXPECT_EQ(FormatDonationAmount("-150"), "-1.50");
    EXPECT_EQ(FormatDonationAmount("-5"), "-0.05");
    EXPECT_EQ(FormatDonationAmount("+5"), "0.05");
    EXPECT_EQ(FormatDonationAmount("999999999999999999"), "9999999999999999.99");
    for (const char* bad : {"", "-", "12.5", "1,000", "abc", " 12", "12 ", "1000000000000000000"})
        EXPECT_EQ(FormatDonationAmount(bad), "") << bad;
}

}  // namespace
