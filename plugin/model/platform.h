// Platform details kept in one place: byte order of exchanged records and the
// clock. Everything else in the plug-in stays portable.
#pragma once

#include <cstdint>
#include <cstring>
#include <ctime>
#if defined(_WIN32)
#include <time.h> // _time64
#endif

namespace platform {

// Big-endian field access, byte by byte, so the code is independent of the
// machine's own order and of alignment.
inline std::uint16_t read_be16(const void* at) {
    const auto* b = static_cast<const std::uint8_t*>(at);
    return static_cast<std::uint16_t>((b[0] << 8) | b[1]);
}

inline std::uint32_t read_be32(const void* at) {
    const auto* b = static_cast<const std::uint8_t*>(at);
    return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
           std::uint32_t{b[3]};
}

inline void write_be16(void* at, std::uint16_t v) {
    auto* b = static_cast<std::uint8_t*>(at);
    b[0] = static_cast<std::uint8_t>(v >> 8);
    b[1] = static_cast<std::uint8_t>(v);
}

inline void write_be32(void* at, std::uint32_t v) {
    auto* b = static_cast<std::uint8_t*>(at);
    b[0] = static_cast<std::uint8_t>(v >> 24);
    b[1] = static_cast<std::uint8_t>(v >> 16);
    b[2] = static_cast<std::uint8_t>(v >> 8);
    b[3] = static_cast<std::uint8_t>(v);
}

// Host records (input records, controller descriptions, operation records)
// carry their numbers in the machine's own order, at offsets that need not be
// aligned for the type.
template <typename T> T read_host(const void* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <typename T> void write_host(void* at, T value) {
    std::memcpy(at, &value, sizeof value);
}

// Calendar time in whole seconds: the only clock of the plug-in. It is one
// imported function of the C library, so a host or a test can supply its own
// clock: time() on ELF systems (a program that exports time() interposes it);
// _time64 on Windows, named outright because time() is an inline wrapper there
// (a host replaces the plug-in's import of _time64). 64 bits on both.
inline std::int64_t now_seconds() {
#if defined(_WIN32)
    return static_cast<std::int64_t>(_time64(nullptr));
#else
    return static_cast<std::int64_t>(std::time(nullptr));
#endif
}

} // namespace platform
