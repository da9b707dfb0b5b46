// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a fuzz input as a stream of choices: small numbers, boundary values, doubles and texts
// taken from the front. Reading past the end gives zeros and empty texts, so every input,
// however short, is a complete run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace kivspc::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }
    std::size_t Remaining() const { return size_ - pos_; }

    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    bool Bool() { return (Byte() & 1) != 0; }

    // An integer in lo..hi (inclusive); one byte for small spans, more for wide ones.
    long long IntIn(long long lo, long long hi) {
        if (hi <= lo) return lo;
        const auto span = static_cast<unsigned long long>(hi) - static_cast<unsigned long long>(lo);
        unsigned long long raw = Byte();
        for (unsigned long long reach = 0xFF; reach < span; reach = (reach << 8) | 0xFF)
            raw = (raw << 8) | Byte();
        return static_cast<long long>(static_cast<unsigned long long>(lo) + raw % (span + 1));
    }

    // Mostly small numbers near zero, sometimes the 32-bit boundaries or four raw bytes.
    std::int32_t AnyInt() {
        static constexpr std::int32_t kBoundaries[] = {
            std::numeric_limits<std::int32_t>::min(),
            std::numeric_limits<std::int32_t>::min() + 1,
            -2147483647 + 1,
            -65536,
            -32768,
            32767,
            32768,
            65535,
            std::numeric_limits<std::int32_t>::max() - 1,
            std::numeric_limits<std::int32_t>::max(),
        };
        const std::uint8_t b = Byte();
        if (b < 200) return static_cast<std::int32_t>(b) - 100;
        if (b < 200 + std::size(kBoundaries)) return kBoundaries[b - 200];
        std::uint32_t raw = 0;
        for (int i = 0; i < 4; ++i)
            raw = (raw << 8) | Byte();
        std::int32_t v;
        std::memcpy(&v, &raw, sizeof v);
        return v;
    }

    // Small integers and halves, special values (zeros, infinities, NaN, denormals, the largest
    // and smallest doubles, the missing-value code) or eight raw bytes.
    double AnyDouble() {
        static constexpr double kSpecial[] = {
            0.0,
            -0.0,
            1.0,
            -1.0,
            0.5,
            1e-300,
            -1e-300,
            4.9406564584124654e-324, // smallest denormal
            2.2250738585072009e-308, // largest denormal
            std::numeric_limits<double>::max(),
            -std::numeric_limits<double>::max(),
            std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity(),
            std::numeric_limits<double>::quiet_NaN(),
            -2147483647.0, // MissingValue
            2147483647.0,
            2147483648.0,
            -2147483649.0,
            1e19,
            -1e19,
            9.2233720368547758e18,
            1e300,
            1e-10,
            0.9999999999,
            1e-9,
            1 - 1e-9,
            3.0,
            1e6,
            171.0,
            1755.0,
            0.25,
            1e15,
        };
        const std::uint8_t b = Byte();
        if (b < std::size(kSpecial)) return kSpecial[b];
        if (b < 160) return (static_cast<int>(b) - 96) / 2.0;
        std::uint64_t raw = 0;
        for (int i = 0; i < 8; ++i)
            raw = (raw << 8) | Byte();
        double v;
        std::memcpy(&v, &raw, sizeof v);
        return v;
    }

    // The bytes up to the next NUL (dropped) or the end.
    std::string Field() {
        const std::size_t start = pos_;
        while (pos_ < size_ && data_[pos_] != 0)
            ++pos_;
        std::string text(reinterpret_cast<const char*>(data_ + start), pos_ - start);
        if (pos_ < size_) ++pos_;
        return text;
    }

    // Everything not read yet.
    std::string_view Rest() {
        std::string_view rest(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
        pos_ = size_;
        return rest;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace kivspc::fuzz
