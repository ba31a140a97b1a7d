#include "clock/services/donation.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "clock/services/service_request.h"

namespace {

constexpr int64_t kDay1970 = 25569;  // 1970-01-01 as a day number
constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kFirstLocalSecond = -2208988800LL;  // 1900-01-01 00:00 from 1970
constexpr int64_t kLastLocalSecond = 253402300799LL;  // 9999-12-31 23:59:59 from 1970

// The 16 significant digits of a finite value, its sign and its decimal exponent, read from the C
// library's scientific form. Only digits and the exponent are taken from it, so a locale that
// writes ',' for the point changes nothing.
void SignificantDigits(double value, std::string* digits, bool* negative, int* exponent) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15e", value);
    const char* p = buffer;
    *negative = *p == '-';
    for (; *p && *p != 'e' && *p != 'E'; ++p)
        if (*p >= '0' && *p <= '9') *digits += *p;
    *exponent = *p ? std::atoi(p + 1) : 0;
}

std::vector<std::string> SplitOn(const std::string& text, char separator) {
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
        items.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    items.push_back(text.substr(start));
    return items;
}

const std::string& ItemOr(const std::vector<std::string>& items, size_t index) {
    static const std::string empty;
    return index < items.size() ? items[index] : empty;
}

// An optionally signed run of 1..maxDigits decimal digits, nothing else.
bool ParseDecimal(const std::string& text, size_t maxDigits, int64_t* value) {
    size_t at = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    const size_t digits = text.size() - at;
    if (digits == 0 || digits > maxDigits) return false;
    int64_t result = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return false;
        result = result * 10 + (text[at] - '0');
    }
    *value = text[0] == '-' ? -result : result;
    return true;
}

void AppendLittleEndian32(std::string* out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        *out += static_cast<char>(value >> (8 * i) & 0xFF);
}

}  // namespace

std::string FormatRequestNumber(double value) {
    if (!std::isfinite(value)) return "0";
    std::string digits;
    bool negative = false;
    int exponent = 0;
    SignificantDigits(value, &digits, &negative, &exponent);

    std::string whole;
    std::string fraction;
    if (exponent >= 0) {
        const size_t wholeDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() < wholeDigits) digits.append(wholeDigits - digits.size(), '0');
        whole = digits.substr(0, wholeDigits);
        fraction = digits.substr(wholeDigits);
    } else {
        whole = "0";
        fraction = std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    }
    const size_t lastKept = fraction.find_last_not_of('0');
    fraction.resize(lastKept == std::string::npos ? 0 : lastKept + 1);

    const bool zero = whole.find_first_not_of('0') == std::string::npos && fraction.empty();
    std::string text = negative && !zero ? "-" : "";
    text += whole;
    if (!fraction.empty()) text += "." + fraction;
    return text;
}

std::string DonationRequestText(double random, int softwareNumber, DateValue now) {
    std::string text = FormatRequestNumber(random);
    text += kDonationPartSeparator;
    text += std::to_string(softwareNumber);
    text += kDonationPartSeparator;
    text += FormatRequestNumber(now);
    text += kDonationPartSeparator;
    // Start value 0, not the 1 of the standard checksum: what the service checks against.
    const uLong checksum =
        adler32(0L, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()));
    text += std::to_string(static_cast<unsigned long>(checksum & 0xFFFFFFFFu));
    return text;
}

std::string FrameDonationRequest(const std::string& text) {
    // uLong is 32 bits on Windows: keep far away from its limit.
    if (text.size() > (1u << 30)) return std::string();
    uLongf packedSize = compressBound(static_cast<uLong>(text.size()));
    std::string packed(packedSize, '\0');
    if (compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize,
                 reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size())) != Z_OK)
        return std::string();
    packed.resize(packedSize);

    std::string request = kRequestMagic;
    AppendLittleEndian32(&request, static_cast<uint32_t>(kRequestHeaderSize + packed.size()));
    request += kDonationListKind;
    request += packed;
    return request;
}

std::string DonationRequest(double random, int softwareNumber, DateValue now) {
    return FrameDonationRequest(DonationRequestText(random, softwareNumber, now));
}

std::string DonateRequestText(int softwareNumber, const std::string& accountUtf8,
                              const std::string& password) {
    std::string text = std::to_string(softwareNumber);
    text += kDonationPartSeparator;
    text += accountUtf8;
    text += kDonationPartSeparator;
    text += password;
    return text;
}

std::string UnpackServiceReply(const std::string& reply) {
    const size_t prefix = sizeof kServiceReplyOk - 1;
    if (reply.size() <= prefix || reply.compare(0, prefix, kServiceReplyOk) != 0) return std::string();
    if (reply.size() > kServiceReplyMaxBytes) return std::string();
    const size_t packedSize = reply.size() - prefix;
    try {
        std::string buffer(std::min(packedSize * 10, kServiceDataMaxBytes), '\0');
        uLongf size = static_cast<uLongf>(buffer.size());
        if (uncompress(reinterpret_cast<Bytef*>(&buffer[0]), &size,
                       reinterpret_cast<const Bytef*>(reply.data() + prefix),
                       static_cast<uLong>(packedSize)) != Z_OK)
            return std::string();
        buffer.resize(size);
        return buffer;
    } catch (const std::bad_alloc&) {
        return std::string();
    }
}

std::string FormatDonationDate(const std::string& secondsField, int biasMinutes) {
    int64_t seconds = 0;
    if (!ParseDecimal(secondsField, 15, &seconds)) return std::string();
    const int64_t local = seconds - static_cast<int64_t>(biasMinutes) * 60;
    if (local < kFirstLocalSecond || local > kLastLocalSecond) return std::string();
    return FormatIsoDate(FromSeconds(local + kDay1970 * kSecondsPerDay));
}

std::string FormatDonationAmount(const std::string& hundredthsField) {
    int64_t hundredths = 0;
    if (!ParseDecimal(hundredthsField, 18, &hundredths)) return std::string();
    const int64_t magnitude = hundredths < 0 ? -hundredths : hundredths;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s%lld.%02lld", hundredths < 0 ? "-" : "",
                  static_cast<long long>(magnitude / 100), static_cast<long long>(magnitude % 100));
    return buffer;
}

DonationRows SplitDonationData(const std::string& data, int biasMinutes) {
    DonationRows rows;
    const std::vector<std::string> parts = SplitOn(data, kDonationPartSeparator);
    const std::vector<std::string> latest = SplitOn(ItemOr(parts, 0), kDonationEntrySeparator);
    const std::vector<std::string> ranking = SplitOn(ItemOr(parts, 1), kDonationEntrySeparator);

    for (size_t i = 0; i < rows.latest.size() && i < latest.size(); ++i) {
        const std::vector<std::string> fields = SplitOn(latest[i], kDonationFieldSeparator);
        LatestDonationRow& row = rows.latest[i];
        row.date = FormatDonationDate(ItemOr(fields, 0), biasMinutes);
        row.name = ItemOr(fields, 1);
        row.amount = FormatDonationAmount(ItemOr(fields, 2));
        row.message = ItemOr(fields, 3);
    }
    for (size_t i = 0; i < rows.ranking.size(); ++i) {
        DonorRankRow& row = rows.ranking[i];
        row.rank = std::to_string(i + 1);
        if (i >= ranking.size()) continue;
        const std::vector<std::string> fields = SplitOn(ranking[i], kDonationFieldSeparator);
        row.name = ItemOr(fields, 0);
        row.total = FormatDonationAmount(ItemOr(fields, 1));
    }
    return rows;
}
