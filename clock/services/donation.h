// The about window's donation lists: the request that downloads them from the maker's service, the
// request of the donate button, the unpacking of a reply, and the split of the downloaded
// DonationData into the rows the window draws. No I/O here: the window supplies the random number,
// the time, the time-zone bias and the exchange with the service.
//
// Texts: names and messages stay UTF-8 as the service sends them (the window converts them at the
// drawing call); dates and amounts are ASCII.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "clock/core/date_value.h"

constexpr const char kServiceReplyOk[] = "//lc//ok";  // the first 8 bytes of a reply that carries data
constexpr const char kRequestMagic[] = "lcqb";
constexpr const char kDonationListKind[] = "DSLB";
constexpr size_t kRequestHeaderSize = 12;  // magic, 32-bit total length, kind

constexpr char kDonationPartSeparator = '\x01';
constexpr char kDonationEntrySeparator = '\x02';
constexpr char kDonationFieldSeparator = '\x03';

constexpr int kLatestDonationRows = 8;
constexpr int kDonorRankingRows = 9;

// ---- Requests ----

// A number of the request text: at most 16 significant digits (rounded), written in plain decimal,
// never with an exponent, with '.' as the point whatever the locale, trailing zeros and a bare point
// dropped: 0.5 -> "0.5", 46364.5 -> "46364.5", 0 -> "0", 0.00001 -> "0.00001",
// 2.0 / 3 -> "0.6666666666666666", 45000 -> "45000". Not-a-number and infinities give "0".
std::string FormatRequestNumber(double value);

// The text of the donation download: random (the caller's number in [0, 1)), 0x01, the software
// number in decimal, 0x01, now (the local date-time as a day number), 0x01, then the Adler-32 of
// every byte before the checksum (the last 0x01 included), started at 0 instead of zlib's usual 1,
// as an unsigned decimal. Both numbers are written by FormatRequestNumber.
std::string DonationRequestText(double random, int softwareNumber, DateValue now);

// The donation download's request for a text: "lcqb", the total length 12 + len(C) as a 32-bit
// little-endian integer, "DSLB", then C, the text packed by zlib's compress. "" when zlib fails.
std::string FrameDonationRequest(const std::string& text);

// FrameDonationRequest(DonationRequestText(random, softwareNumber, now)).
std::string DonationRequest(double random, int softwareNumber, DateValue now);

// The donate button's request text: the software number in decimal, 0x01, the member account
// (already UTF-8), 0x01, the password. Empty values when no login was found.
std::string DonateRequestText(int softwareNumber, const std::string& accountUtf8,
                              const std::string& password);

// ---- Reply ----

// The DonationData a reply carries: when its first 8 bytes are "//lc//ok", the rest unpacked by
// zlib's uncompress into a buffer ten times the size of the packed bytes, at most
// kServiceDataMaxBytes. "" for any other reply, an empty or corrupt packed part, a text unpacking
// to more than ten times its packed size or to more than kServiceDataMaxBytes, a reply over
// kServiceReplyMaxBytes (clock/services/service_request.h), or a buffer that cannot be had. Never
// throws (it runs on the download thread).
constexpr size_t kServiceDataMaxBytes = 4 << 20;
std::string UnpackServiceReply(const std::string& reply);

// ---- Rows of the window ----

struct LatestDonationRow {
    std::string date;     // "yyyy-mm-dd", local
    std::string name;     // UTF-8
    std::string amount;   // "0.00"
    std::string message;  // UTF-8
};

struct DonorRankRow {
    std::string rank;   // "1" .. "9", on every row
    std::string name;   // UTF-8
    std::string total;  // "0.00"
};

struct DonationRows {
    std::array<LatestDonationRow, kLatestDonationRows> latest;
    std::array<DonorRankRow, kDonorRankingRows> ranking;
};

// Splits DonationData (two parts by 0x01, entries by 0x02, fields by 0x03) into the rows drawn:
// the first 8 entries of part 0 (time, name, amount, message) and the first 9 of part 1 (name,
// total). A missing part, entry or field counts as empty; a row without an entry is all empty
// apart from the rank number. Time fields become dates by FormatDonationDate with biasMinutes,
// amounts by FormatDonationAmount.
DonationRows SplitDonationData(const std::string& data, int biasMinutes);

// The local date "yyyy-mm-dd" of a time field: decimal seconds since 1970-01-01 00:00 UTC, shifted
// by the time-zone bias the way Windows counts it (local = UTC - bias minutes; Beijing is -480).
// "" when the field is not an optionally signed run of at most 15 decimal digits, or when the local
// date falls outside 1900-01-01 .. 9999-12-31.
std::string FormatDonationDate(const std::string& secondsField, int biasMinutes);

// An amount field in hundredths as "0.00": "1234" -> "12.34", "5" -> "0.05", "-150" -> "-1.50".
// "" when the field is not an optionally signed run of at most 18 decimal digits, so an empty or
// garbled amount shows as nothing rather than as a made-up zero.
std::string FormatDonationAmount(const std::string& hundredthsField);
