// GBK <-> UTF-16 on Linux, through iconv's CP936 (GBK with 0x80 as the euro sign, as Windows has it).
#include <errno.h>
#include <iconv.h>

#include "forms/gbk.h"

namespace {

// Owns one iconv descriptor; copying is deleted so the descriptor is closed exactly once.
class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (ok()) iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

// Runs iconv over the whole input. An input unit that cannot be converted is replaced by the
// encoded '?' of the target and skipped (skipBytes bytes), so conversion always completes.
std::string Convert(const char* to, const char* from, const std::string& input, size_t skipBytes,
                    const std::string& question) {
    IconvHandle cd(to, from);
    std::string out;
    if (!cd.ok()) return out;
    std::string buffer(input.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    while (inLeft > 0) {
        char* dst = &buffer[0];
        size_t dstLeft = buffer.size();
        const size_t rc = iconv(cd.get(), &in, &inLeft, &dst, &dstLeft);
        out.append(buffer.data(), buffer.size() - dstLeft);
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: an unmappable or truncated unit; skip it and go on.
        const size_t skip = skipBytes < inLeft ? skipBytes : inLeft;
        in += skip;
        inLeft -= skip;
        out += question;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace

std::u16string GbkToUtf16(const std::string& gbk) {
    const std::string bytes = Convert("UTF-16LE", "CP936", gbk, 1, std::string("?\0", 2));
    std::u16string out(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return out;
}

std::string Utf16ToGbk(const std::u16string& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return Convert("CP936", "UTF-16LE", bytes, 2, "?");
}
