// One block of an installer package: a size header of 1 to 4 bytes (the unpacked size S times 4
// plus the header length minus 1, little-endian), the 5 LZMA properties bytes, then a raw LZMA1
// stream. Packing and unpacking go through the LZMA SDK's encoder and decoder.
//
// A block whose content LZMA cannot shrink (packed media, archives, random data) is stored as it
// is: the properties byte is kStoredPropertiesByte, the four dictionary bytes are 0, and the S
// content bytes follow. Unpacking it is a copy, where the range decoder would spend as long on
// every byte as on any compressed one. No LZMA properties byte can take that value (lc, lp and pb
// give at most 224), so a reader that knows only LZMA refuses such a block as damaged.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "setup/byte_view.h"

constexpr uint32_t kMaxBlockContent = (1u << 30) - 1;  // the size header holds sizes below 2^30
constexpr uint8_t kLzmaPropertiesByte = 0x5D;          // lc 3, lp 0, pb 2
constexpr uint32_t kLzmaDictionary = 1u << 26;         // 64 MiB
constexpr uint8_t kStoredPropertiesByte = 0xFF;        // the content follows as it is
// Smaller content is always LZMA-coded: it unpacks in no time either way, and the packages of small
// files stay what any reader of LZMA blocks understands.
constexpr size_t kLeastStoredContent = 64u << 10;

// What the two functions below read of a block of `length` bytes: its first
// min(length, kBlockHeadBytes) bytes (size header, properties, the range decoder's first bytes).
constexpr size_t kBlockHeadBytes = 4 + 5 + 5;

// The unpacked size a block declares and the length of its size header; false when the block has
// 4 bytes or fewer (it unpacks to nothing).
bool BlockDeclaredSize(const uint8_t* block, size_t length, uint32_t* size, unsigned* headerBytes);

// True when the decoder can start on the block: one that unpacks to nothing (4 bytes or fewer, a
// declared size of 0, or no stream), a stored block holding all its content, or a valid LZMA
// properties byte and a stream of at least the 5 bytes the range decoder starts from, the first of
// them 0. A stream damaged further in still passes.
bool CheckBlockHeader(const uint8_t* block, size_t length);

// True when the block is stored as it is (its properties byte is kStoredPropertiesByte).
bool IsStoredBlock(const uint8_t* block, size_t length);

// Packs content into a block: the fewest header bytes, properties 0x5D, a dictionary of 64 MiB or
// the content's size rounded up to a power of two (at least 4 KiB) when that is smaller. Content of
// kLeastStoredContent bytes or more that the LZMA stream would not make smaller is stored as it is.
// Empty content gives an empty block (a length of 0 in the package). False when content is 2^30
// bytes or more, or the encoder fails.
bool PackBlock(const uint8_t* content, size_t size, std::vector<uint8_t>* block);

// Receives unpacked content piece by piece; returns false to stop (a write failed).
using BlockSink = std::function<bool(const uint8_t* data, size_t size)>;

// What unpacking a block came to.
enum class UnpackResult {
    kEmpty,     // the block holds no content (4 bytes or fewer, size 0, no stream bytes)
    kComplete,  // all S bytes were produced (a stream ending early is padded with zero bytes)
    kFailed,    // the decoder reported an error or the input ended before S bytes
    kSinkStopped,
};

// Unpacks a block into sink in pieces of at most 64 KiB: the declared size is not trusted for
// memory. The decoder's dictionary is at most the smaller of the declared dictionary and the
// declared size (rounded up to 4 KiB), and it grows only as content is actually produced, so a
// hostile block declaring a huge size with a tiny stream costs no more than what it really
// unpacks to. On kFailed the sink may already have received part of the content; a caller that
// must not keep a partial file truncates it (the installer writes such a file empty).
// peakMemory, when given, receives the most bytes the decoder held at once (dictionary and
// probability tables), so tests can check the bound above.
UnpackResult UnpackBlockTo(const uint8_t* block, size_t length, const BlockSink& sink,
                           size_t* peakMemory = nullptr);

// The bytes of a block from offset on: as many as lie together there, at least one while offset
// is inside the block. Empty when they cannot be read, which fails the unpacking.
using BlockReader = std::function<ByteView(size_t offset)>;
BlockReader ReaderOfBytes(ByteView block);  // a block in memory

// UnpackBlockTo for a block that is not in memory whole: the installer's file is viewed a window
// at a time, and the stream is fed to the decoder as read gives it.
UnpackResult UnpackBlockFrom(size_t length, const BlockReader& read, const BlockSink& sink,
                             size_t* peakMemory = nullptr);

// Unpacks a whole block into *content for a worker that unpacks ahead of the writer. The content
// is made its declared size before the decoder starts, so the caller bounds that size (the
// extraction's budget). When the block's dictionary covers the content, as the packer's always
// does, the decoder writes straight into it: the content costs its size once, not twice (a stored
// block is copied in, once the block is seen to hold all of it). A stop request ends the unpacking
// early (kSinkStopped). On anything but kComplete *content is left empty. Throws std::bad_alloc
// when the content cannot be had.
UnpackResult UnpackBlockInto(size_t length, const BlockReader& read, std::vector<uint8_t>* content,
                             const std::atomic<bool>& stop);

// The whole content of a block, or empty content on any failure, for the small blocks (the
// description and the file list). maxSize bounds what may be held: a block declaring more gives
// empty content.
std::vector<uint8_t> UnpackBlock(const uint8_t* block, size_t length, size_t maxSize = 64u << 20);
std::vector<uint8_t> UnpackBlockFrom(size_t length, const BlockReader& read, size_t maxSize = 64u << 20);
