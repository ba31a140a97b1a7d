// Bytes that someone else owns: part of the installer's mapped file, or a test's string.
#pragma once

#include <cstddef>
#include <cstdint>

struct ByteView {
    const uint8_t* data = nullptr;
    size_t size = 0;
};
