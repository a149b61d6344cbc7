// Fuzzes the single-precision field check of line input: any bytes, never a
// crash; an accepted field is a finite number; an accepted decimal field
// converts exactly as strtof does, and a based one (&H, &O) as strtoull.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/lineinput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    float value = -1.0f;
    const rt::FieldCheck check =
        rt::checkSingleField(text.data(), static_cast<std::int32_t>(text.size()), &value);
    if (check != rt::FieldCheck::Acceptable) {
        if (value != 0.0f) std::abort(); // a refused field leaves 0
        return 0;
    }
    if (!std::isfinite(value)) std::abort();
    if (text.find('\0') != std::string::npos) std::abort(); // NUL is never acceptable

    if (!text.empty() && text[0] == '&') {
        std::uint64_t u = 0;
        if (text.size() > 2) {
            const int base = text[1] == 'H' || text[1] == 'h' ? 16 : 8;
            errno = 0;
            u = std::strtoull(text.c_str() + 2, nullptr, base);
            if (errno == ERANGE) std::abort(); // accepted yet out of 64 bits
        }
        if (value != static_cast<float>(u)) std::abort();
        return 0;
    }
    // Decimal: the same value as strtof, bit for bit, for complete and
    // incomplete texts alike.
    const float want = std::strtof(text.c_str(), nullptr);
    if (std::memcmp(&want, &value, sizeof want) != 0) std::abort();
    return 0;
}
