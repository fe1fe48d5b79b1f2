#pragma once
// TText<N>: a text of at most N single-byte characters stored in place (a length byte followed by N
// bytes), so that an image holding texts stays one trivially copyable block. Every byte value is
// kept unchanged; storing a longer value keeps its first N characters. The bytes behind the length
// are always zero, so two texts are equal exactly when their bytes are equal.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

template <std::size_t N>
class TText {
    static_assert(N > 0 && N <= 255, "the length must fit in one byte");

public:
    static constexpr std::size_t Capacity = N;

    constexpr TText() = default;
    constexpr explicit TText(std::string_view value) { Assign(value); }
    constexpr TText& operator=(std::string_view value) {
        Assign(value);
        return *this;
    }

    constexpr void Assign(std::string_view value) {
        const std::size_t count = std::min(value.size(), N);
        std::copy_n(value.data(), count, fData.begin());
        std::fill(fData.begin() + count, fData.end(), '\0');
        fLength = static_cast<std::uint8_t>(count);
    }
    // Appends as much of value as still fits.
    constexpr void Append(std::string_view value) {
        const std::size_t count = std::min(value.size(), N - fLength);
        std::copy_n(value.data(), count, fData.begin() + fLength);
        fLength = static_cast<std::uint8_t>(fLength + count);
    }
    constexpr void Clear() { Assign({}); }

    constexpr std::size_t size() const { return fLength; }
    constexpr bool empty() const { return fLength == 0; }
    constexpr char operator[](std::size_t index) const { return fData[index]; }
    constexpr std::string_view View() const { return {fData.data(), fLength}; }
    std::string Str() const { return std::string(View()); }
    // The characters as bytes, for telegrams.
    std::span<const std::uint8_t> Bytes() const {
        return {reinterpret_cast<const std::uint8_t*>(fData.data()), fLength};
    }

    friend constexpr bool operator==(const TText&, const TText&) = default;
    friend constexpr bool operator==(const TText& text, std::string_view value) {
        return text.View() == value;
    }

private:
    std::uint8_t fLength = 0;
    std::array<char, N> fData{};
};
