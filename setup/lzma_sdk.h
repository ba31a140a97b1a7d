// The LZMA SDK's C interfaces, for the block packer and unpacker.
#pragma once

// The SDK's Types.h includes <windows.h> on Windows, only for a type the encoder and decoder
// interfaces never use. Hiding _WIN32 while it is read keeps the portable files that include this free of the
// Windows headers; the SDK's own C files are compiled normally, and the functions called here take
// the same plain types either way. <stddef.h> comes first: MinGW's copy refuses a target that is
// not _WIN32.
#include <stddef.h>
#if defined(_WIN32)
#pragma push_macro("_WIN32")
#undef _WIN32
#define CHIME_LZMA_HID_WIN32
#endif
#include <LzmaDec.h>
#include <LzmaEnc.h>
#if defined(CHIME_LZMA_HID_WIN32)
#pragma pop_macro("_WIN32")
#undef CHIME_LZMA_HID_WIN32
#endif
