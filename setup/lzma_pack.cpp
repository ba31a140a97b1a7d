// Packing blocks of the installer package, apart from unpacking so that the installer, which
// only unpacks, does not carry the encoder.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "setup/lzma_block.h"
#include "setup/lzma_sdk.h"

namespace {

constexpr uint32_t kMinDictionary = 1u << 12;
constexpr unsigned kPropertiesSize = LZMA_PROPS_SIZE;

void* Allocate(void*, size_t size) {
    return std::malloc(size);
}
void Release(void*, void* address) {
    std::free(address);
}
ISzAlloc g_alloc = {Allocate, Release};

// ---- Packing ----

unsigned HeaderBytesFor(uint32_t size) {
    for (unsigned n = 1; n < 4; ++n) {
        if (static_cast<uint64_t>(size) * 4 + (n - 1) < (uint64_t{1} << (8 * n))) return n;
    }
    return 4;
}

uint32_t PackingDictionary(size_t size) {
    uint32_t dictionary = kMinDictionary;
    while (dictionary < size && dictionary < kLzmaDictionary)
        dictionary <<= 1;
    return dictionary;
}

struct MemoryIn {
    ISeqInStream vtable;
    const uint8_t* data;
    size_t left;
};

SRes ReadMemory(void* self, void* buffer, size_t* size) {
    auto* in = static_cast<MemoryIn*>(self);
    const size_t piece = std::min(*size, in->left);
    if (piece > 0) std::memcpy(buffer, in->data, piece);
    in->data += piece;
    in->left -= piece;
    *size = piece;
    return SZ_OK;
}

struct VectorOut {
    ISeqOutStream vtable;
    std::vector<uint8_t>* block;
    bool failed = false;
};

size_t WriteVector(void* self, const void* data, size_t size) {
    auto* out = static_cast<VectorOut*>(self);
    try {
        const auto* bytes = static_cast<const uint8_t*>(data);
        out->block->insert(out->block->end(), bytes, bytes + size);
    } catch (const std::bad_alloc&) {
        out->failed = true;
        return 0;  // less than asked: the encoder stops with a write error
    }
    return size;
}

struct EncoderHandle {
    CLzmaEncHandle handle;
    ISzAlloc* alloc;
    ~EncoderHandle() {
        if (handle != nullptr) LzmaEnc_Destroy(handle, alloc, alloc);
    }
};

// Replaces the LZMA stream after the block's n-byte size header by the content itself. The block
// is at least as long already, so this only shrinks it.
void StoreAsItIs(const uint8_t* content, size_t size, unsigned n, std::vector<uint8_t>* block) {
    uint8_t* properties = block->data() + n;
    properties[0] = kStoredPropertiesByte;
    std::memset(properties + 1, 0, kPropertiesSize - 1);
    std::memcpy(properties + kPropertiesSize, content, size);
    block->resize(n + kPropertiesSize + size);
}

}  // namespace

bool PackBlock(const uint8_t* content, size_t size, std::vector<uint8_t>* block) {
    block->clear();
    if (size > kMaxBlockContent) return false;
    if (size == 0) return true;

    CLzmaEncProps props;
    LzmaEncProps_Init(&props);
    props.level = 5;
    props.dictSize = PackingDictionary(size);
    props.lc = 3;
    props.lp = 0;
    props.pb = 2;
    props.numThreads = 1;
    props.writeEndMark = 0;

    EncoderHandle encoder{LzmaEnc_Create(&g_alloc), &g_alloc};
    if (encoder.handle == nullptr || LzmaEnc_SetProps(encoder.handle, &props) != SZ_OK) return false;

    const uint32_t s = static_cast<uint32_t>(size);
    const unsigned n = HeaderBytesFor(s);
    const uint32_t value = s * 4 + (n - 1);
    try {
        for (unsigned i = 0; i < n; ++i)
            block->push_back(static_cast<uint8_t>(value >> (8 * i)));
        block->resize(n + kPropertiesSize);
    } catch (const std::bad_alloc&) {
        return false;
    }
    SizeT propsSize = kPropertiesSize;
    if (LzmaEnc_WriteProperties(encoder.handle, block->data() + n, &propsSize) != SZ_OK) return false;

    MemoryIn in{{ReadMemory}, content, size};
    VectorOut out{{WriteVector}, block};
    const SRes result = LzmaEnc_Encode(encoder.handle, &out.vtable, &in.vtable, nullptr, &g_alloc, &g_alloc);
    if (result != SZ_OK || out.failed) {
        block->clear();
        return false;
    }
    if (size >= kLeastStoredContent && block->size() >= n + kPropertiesSize + size)
        StoreAsItIs(content, size, n, block);
    return true;
}
