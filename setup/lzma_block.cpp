// Blocks of the installer package: size header + LZMA properties + raw LZMA stream, or the content
// as it is. Unpacking goes through the LZMA SDK's C decoder; packing is in lzma_pack.cpp.
#include "setup/lzma_block.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "setup/lzma_sdk.h"

namespace {

constexpr size_t kPieceSize = 64u << 10;  // what the sink receives at most per call
constexpr uint32_t kMinDictionary = 1u << 12;
constexpr unsigned kPropertiesSize = LZMA_PROPS_SIZE;

// ---- Allocation with accounting: the SDK allocates through ISzAlloc, the dictionary is ours ----

// The SDK hands the allocator back to its callbacks, so the record starts with the interface.
struct CountingAlloc {
    ISzAlloc vtable;
    size_t live = 0;
    size_t peak = 0;
};

void Account(CountingAlloc* alloc, size_t more) {
    alloc->live += more;
    alloc->peak = std::max(alloc->peak, alloc->live);
}

// Each allocation carries its size in front, since ISzAlloc's Free does not pass it back.
constexpr size_t kHeader = alignof(std::max_align_t) > sizeof(size_t) ? alignof(std::max_align_t)
                                                                      : sizeof(size_t);

void* CountingAllocate(void* self, size_t size) {
    if (size > SIZE_MAX - kHeader) return nullptr;
    auto* raw = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (raw == nullptr) return nullptr;
    std::memcpy(raw, &size, sizeof size);
    Account(static_cast<CountingAlloc*>(self), size);
    return raw + kHeader;
}

void CountingFree(void* self, void* address) {
    if (address == nullptr) return;
    unsigned char* raw = static_cast<unsigned char*>(address) - kHeader;
    size_t size = 0;
    std::memcpy(&size, raw, sizeof size);
    static_cast<CountingAlloc*>(self)->live -= size;
    std::free(raw);
}

CountingAlloc MakeCountingAlloc() {
    CountingAlloc alloc;
    alloc.vtable.Alloc = CountingAllocate;
    alloc.vtable.Free = CountingFree;
    return alloc;
}

struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
};

// The decoder's state, its probability tables and the dictionary it writes into.
struct Decoder {
    CountingAlloc alloc = MakeCountingAlloc();
    CLzmaDec state{};
    std::unique_ptr<uint8_t, FreeDeleter> dictionary;
    size_t capacity = 0;  // what the dictionary may grow to: the dictionary the stream may refer to

    Decoder() { LzmaDec_Construct(&state); }
    ~Decoder() {
        state.dic = nullptr;  // ours, not the SDK's
        LzmaDec_FreeProbs(&state, &alloc.vtable);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
};

// Grows the dictionary while nothing has wrapped round in it yet: until the stream has produced
// `capacity` bytes, the decoder accepts no distance beyond what it produced, so every byte it can
// refer to lies at the front of the buffer and survives the move. The stream thus costs memory
// only for what it really unpacks to, whatever it declares.
bool GrowDictionary(Decoder* decoder) {
    const size_t size = std::min(decoder->capacity, std::max(kPieceSize, decoder->state.dicBufSize * 2));
    Account(&decoder->alloc, size);  // the old and the new buffer exist at once while it moves
    auto* grown = static_cast<uint8_t*>(std::realloc(decoder->dictionary.get(), size));
    decoder->alloc.live -= size;
    if (grown == nullptr) return false;
    (void)decoder->dictionary.release();
    decoder->dictionary.reset(grown);
    decoder->alloc.live += size - decoder->state.dicBufSize;
    decoder->state.dic = grown;
    decoder->state.dicBufSize = size;
    return true;
}

// Room for the next piece: more dictionary while it may grow, else back to its start as the
// SDK's buffer interface does.
bool MakeRoom(Decoder* decoder) {
    if (decoder->state.dicPos < decoder->state.dicBufSize) return true;
    if (decoder->state.dicBufSize < decoder->capacity) return GrowDictionary(decoder);
    decoder->state.dicPos = 0;
    return true;
}

// Sets up the decoder from the block's properties, with the dictionary cut to what `size` bytes of
// output can use: no distance in the stream can reach further back than the content's start.
bool StartDecoder(Decoder* decoder, const uint8_t* properties, uint32_t size) {
    uint8_t cut[kPropertiesSize];
    std::memcpy(cut, properties, kPropertiesSize);
    const uint32_t declared = static_cast<uint32_t>(cut[1]) | static_cast<uint32_t>(cut[2]) << 8 |
                              static_cast<uint32_t>(cut[3]) << 16 | static_cast<uint32_t>(cut[4]) << 24;
    const uint32_t rounded = (size + (kMinDictionary - 1)) & ~(kMinDictionary - 1);
    const uint32_t dictionary = std::max(kMinDictionary, std::min(declared, rounded));
    for (unsigned i = 0; i < 4; ++i)
        cut[1 + i] = static_cast<uint8_t>(dictionary >> (8 * i));
    if (LzmaDec_AllocateProbs(&decoder->state, cut, kPropertiesSize, &decoder->alloc.vtable) != SZ_OK)
        return false;
    decoder->capacity = dictionary;
    LzmaDec_Init(&decoder->state);
    return true;
}

// Sends `count` zero bytes: the content after a stream that ended with an end mark before the
// declared size.
bool SendZeros(size_t count, const BlockSink& sink) {
    // Not const: a constant array of zeros would take 64 KiB of the installer's image.
    static uint8_t zeros[kPieceSize];
    while (count > 0) {
        const size_t piece = std::min(count, kPieceSize);
        if (!sink(zeros, piece)) return false;
        count -= piece;
    }
    return true;
}

// Feeds the stream from `offset` to `end` of the block to the decoder, a piece at a time as read
// gives it, until `size` bytes came out.
UnpackResult Decode(Decoder* decoder, const BlockReader& read, size_t offset, size_t end, uint32_t size,
                    const BlockSink& sink) {
    CLzmaDec* state = &decoder->state;
    ByteView input;
    size_t produced = 0;
    while (produced < size) {
        if (input.size == 0 && offset < end) {
            input = read(offset);
            if (input.size == 0) return UnpackResult::kFailed;
            input.size = std::min(input.size, end - offset);
            offset += input.size;
        }
        if (!MakeRoom(decoder)) return UnpackResult::kFailed;
        const size_t start = state->dicPos;
        const size_t limit = start + std::min({kPieceSize, size - produced, state->dicBufSize - start});
        SizeT consumed = input.size;
        ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
        const SRes result = LzmaDec_DecodeToDic(state, limit, input.data, &consumed, LZMA_FINISH_ANY, &status);
        input.data += consumed;
        input.size -= consumed;
        const size_t got = state->dicPos - start;
        if (got > 0 && !sink(state->dic + start, got)) return UnpackResult::kSinkStopped;
        produced += got;
        if (result != SZ_OK) return UnpackResult::kFailed;
        if (status == LZMA_STATUS_FINISHED_WITH_MARK) {
            return SendZeros(size - produced, sink) ? UnpackResult::kComplete : UnpackResult::kSinkStopped;
        }
        // No progress is only possible once the input is used up before the declared size (a piece
        // used up is followed by the next one before the decoder is called again).
        if (got == 0 && consumed == 0) return UnpackResult::kFailed;
    }
    return UnpackResult::kComplete;
}

// The first bytes of a block, which BlockDeclaredSize and the decoder's set-up read together.
struct BlockHead {
    uint8_t bytes[kBlockHeadBytes];
    size_t size = 0;
};

bool ReadHead(size_t length, const BlockReader& read, BlockHead* head) {
    const size_t wanted = std::min(length, kBlockHeadBytes);
    while (head->size < wanted) {
        const ByteView piece = read(head->size);
        if (piece.size == 0) return false;
        const size_t taken = std::min(piece.size, wanted - head->size);
        std::memcpy(head->bytes + head->size, piece.data, taken);
        head->size += taken;
    }
    return true;
}

// True when a stored block of `length` bytes with a `header`-byte size header holds all `size`
// bytes of its content (bytes after them are ignored, as after an LZMA stream).
bool StoredContentPresent(size_t length, unsigned header, uint32_t size) {
    return length >= header + kPropertiesSize && length - header - kPropertiesSize >= size;
}

}  // namespace

bool BlockDeclaredSize(const uint8_t* block, size_t length, uint32_t* size, unsigned* headerBytes) {
    if (block == nullptr || length <= 4) return false;
    const unsigned n = (block[0] & 3u) + 1;
    uint32_t value = 0;
    for (unsigned i = 0; i < n; ++i)
        value |= static_cast<uint32_t>(block[i]) << (8 * i);
    *size = value >> 2;
    *headerBytes = n;
    return true;
}

bool CheckBlockHeader(const uint8_t* block, size_t length) {
    uint32_t size = 0;
    unsigned header = 0;
    if (!BlockDeclaredSize(block, length, &size, &header)) return true;
    if (length <= header + kPropertiesSize || size == 0) return true;
    constexpr unsigned kMaxPropertiesByte = 9 * 5 * 5;  // lc < 9, lp < 5, pb < 5
    constexpr size_t kRangeCoderStart = 5;
    const uint8_t* properties = block + header;
    if (properties[0] == kStoredPropertiesByte) return StoredContentPresent(length, header, size);
    return properties[0] < kMaxPropertiesByte && length - header - kPropertiesSize >= kRangeCoderStart &&
           properties[kPropertiesSize] == 0;
}

bool IsStoredBlock(const uint8_t* block, size_t length) {
    uint32_t size = 0;
    unsigned header = 0;
    return BlockDeclaredSize(block, length, &size, &header) && length > header &&
           block[header] == kStoredPropertiesByte;
}

namespace {

// Reads a block's head and its declared content size. False when there is nothing to decode, with
// *early the answer: kFailed when the head cannot be read, kEmpty for a block without content.
bool OpenBlock(size_t length, const BlockReader& read, BlockHead* head, uint32_t* size, unsigned* header,
               UnpackResult* early) {
    *early = UnpackResult::kFailed;
    if (!ReadHead(length, read, head)) return false;
    *early = UnpackResult::kEmpty;
    if (!BlockDeclaredSize(head->bytes, length, size, header)) return false;
    return length > *header + kPropertiesSize && *size != 0;
}

// Sends the `size` content bytes of a stored block of `length` bytes in pieces of at most
// kPieceSize; kFailed when the block ends or cannot be read before all of them came.
UnpackResult Copy(const BlockReader& read, size_t length, unsigned header, uint32_t size,
                  const BlockSink& sink) {
    if (!StoredContentPresent(length, header, size)) return UnpackResult::kFailed;
    size_t offset = header + kPropertiesSize;
    size_t left = size;
    while (left > 0) {
        const ByteView piece = read(offset);
        if (piece.size == 0) return UnpackResult::kFailed;
        const size_t taken = std::min({piece.size, left, kPieceSize});
        if (!sink(piece.data, taken)) return UnpackResult::kSinkStopped;
        offset += taken;
        left -= taken;
    }
    return UnpackResult::kComplete;
}

}  // namespace

BlockReader ReaderOfBytes(ByteView block) {
    return [block](size_t offset) {
        return offset < block.size ? ByteView{block.data + offset, block.size - offset} : ByteView{};
    };
}

UnpackResult UnpackBlockTo(const uint8_t* block, size_t length, const BlockSink& sink, size_t* peakMemory) {
    return UnpackBlockFrom(block == nullptr ? 0 : length, ReaderOfBytes(ByteView{block, length}), sink, peakMemory);
}

UnpackResult UnpackBlockFrom(size_t length, const BlockReader& read, const BlockSink& sink, size_t* peakMemory) {
    if (peakMemory != nullptr) *peakMemory = 0;
    BlockHead head;
    uint32_t size = 0;
    unsigned header = 0;
    UnpackResult early = UnpackResult::kFailed;
    if (!OpenBlock(length, read, &head, &size, &header, &early)) return early;
    if (head.bytes[header] == kStoredPropertiesByte)
        return Copy(read, length, header, size, sink);

    Decoder decoder;
    UnpackResult result = UnpackResult::kFailed;
    if (StartDecoder(&decoder, head.bytes + header, size))
        result = Decode(&decoder, read, header + kPropertiesSize, length, size, sink);
    if (peakMemory != nullptr) *peakMemory = decoder.alloc.peak;
    return result;
}

std::vector<uint8_t> UnpackBlock(const uint8_t* block, size_t length, size_t maxSize) {
    return UnpackBlockFrom(block == nullptr ? 0 : length, ReaderOfBytes(ByteView{block, length}), maxSize);
}

std::vector<uint8_t> UnpackBlockFrom(size_t length, const BlockReader& read, size_t maxSize) {
    std::vector<uint8_t> content;
    BlockHead head;
    uint32_t size = 0;
    unsigned header = 0;
    if (!ReadHead(length, read, &head) || !BlockDeclaredSize(head.bytes, length, &size, &header) ||
        size > maxSize) {
        return content;
    }
    // Grown as content arrives rather than reserved: the declared size is not trusted.
    const auto append = [&content](const uint8_t* data, size_t piece) {
        try {
            content.insert(content.end(), data, data + piece);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    };
    if (UnpackBlockFrom(length, read, append) != UnpackResult::kComplete) content.clear();
    return content;
}

UnpackResult UnpackBlockInto(size_t length, const BlockReader& read, std::vector<uint8_t>* content,
                             const std::atomic<bool>& stop) {
    content->clear();
    BlockHead head;
    uint32_t size = 0;
    unsigned header = 0;
    UnpackResult early = UnpackResult::kFailed;
    if (!OpenBlock(length, read, &head, &size, &header, &early)) return early;
    const BlockSink watch = [&stop](const uint8_t*, size_t) { return !stop; };
    size_t filled = 0;
    const BlockSink copy = [&](const uint8_t* data, size_t piece) {
        std::memcpy(content->data() + filled, data, piece);
        filled += piece;
        return !stop;
    };
    Decoder decoder;
    UnpackResult result = UnpackResult::kFailed;
    if (head.bytes[header] == kStoredPropertiesByte) {
        if (StoredContentPresent(length, header, size)) {  // before asking for the memory
            content->resize(size);
            result = Copy(read, length, header, size, copy);
        }
    } else if (StartDecoder(&decoder, head.bytes + header, size)) {
        content->resize(size);  // zeros: also the tail after an early end mark
        if (decoder.capacity >= size) {
            // Nothing wraps round in a dictionary as large as the content, so the dictionary is it.
            decoder.state.dic = content->data();
            decoder.state.dicBufSize = size;
            result = Decode(&decoder, read, header + kPropertiesSize, length, size, watch);
        } else {
            result = Decode(&decoder, read, header + kPropertiesSize, length, size, copy);
        }
    }
    if (result != UnpackResult::kComplete) std::vector<uint8_t>().swap(*content);
    return result;
}
