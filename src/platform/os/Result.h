#pragma once
#include <cstdint>

namespace Platform {

// A 32-bit result code. The numbers are those the program's error texts print,
// so a failure reads the same whatever layer produced it. The compiler warns
// where a call's result is dropped; a call whose failure truly does not matter
// says so with a cast to void.
class [[nodiscard]] Result {
public:
    constexpr Result() = default;
    constexpr Result(int32_t code) : code_(code) {}
    constexpr operator int32_t() const { return code_; }

private:
    int32_t code_ = 0;
};

inline constexpr Result kOk = 0;
inline constexpr Result kFalse = 1;
inline constexpr Result kFail = static_cast<Result>(0x80004005u);
inline constexpr Result kInvalidArg = static_cast<Result>(0x80070057u);
inline constexpr Result kOutOfMemory = static_cast<Result>(0x8007000Eu);
inline constexpr Result kNotImplemented = static_cast<Result>(0x80004001u);
inline constexpr Result kFileNotFound = static_cast<Result>(0x80070002u);

inline constexpr bool failed(Result r) { return r < 0; }
inline constexpr bool succeeded(Result r) { return r >= 0; }

// A system error code (errno value or the program's own code numbers) as a result:
// 0 and below unchanged, else 0x80070000 plus the low 16 bits.
inline constexpr Result resultFromSystemError(int32_t code) {
    return code <= 0 ? Result(code)
                     : Result(static_cast<int32_t>(0x80070000u | (static_cast<uint32_t>(code) & 0xFFFFu)));
}

}  // namespace Platform
