#include "runtime/errors.h"

#include <cstdlib>

#include "runtime/port.h"

namespace rt {
namespace {

std::atomic<std::uint32_t> pending{0};

struct Message {
    std::uint32_t number;
    const char* text;
};

constexpr Message kMessages[] = {
    {1, "NEXT without FOR"},
    {2, "Syntax error"},
    {3, "RETURN without GOSUB"},
    {4, "Out of DATA"},
    {5, "Illegal function call"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {8, "Label not defined"},
    {9, "Subscript out of range"},
    {10, "Duplicate definition"},
    {12, "Illegal in direct mode"},
    {13, "Type mismatch"},
    {14, "Out of string space"},
    {16, "String formula too complex"},
    {17, "Cannot continue"},
    {18, "Function not defined"},
    {19, "No RESUME"},
    {20, "RESUME without error"},
    {24, "Device timeout"},
    {25, "Device fault"},
    {26, "FOR without NEXT"},
    {27, "Out of paper"},
    {29, "WHILE without WEND"},
    {30, "WEND without WHILE"},
    {33, "Duplicate label"},
    {35, "Subprogram not defined"},
    {37, "Argument-count mismatch"},
    {38, "Array not defined"},
    {40, "Variable required"},
    {50, "FIELD overflow"},
    {51, "Internal error"},
    {52, "Bad file name or number"},
    {53, "File not found"},
    {54, "Bad file mode"},
    {55, "File already open"},
    {56, "FIELD statement active"},
    {57, "Device I/O error"},
    {58, "File already exists"},
    {59, "Bad record length"},
    {61, "Disk full"},
    {62, "Input past end of file"},
    {63, "Bad record number"},
    {64, "Bad file name"},
    {67, "Too many files"},
    {68, "Device unavailable"},
    {69, "Communication-buffer overflow"},
    {70, "Permission denied"},
    {71, "Disk not ready"},
    {72, "Disk-media error"},
    {73, "Feature unavailable"},
    {74, "Rename across disks"},
    {75, "Path/File access error"},
    {76, "Path not found"},
    {258, "Invalid handle"},
    {300, "Memory region out of range"},
    {301, "Invalid size"},
    {302, "Source memory region out of range"},
    {303, "Destination memory region out of range"},
    {304, "Source and destination memory regions out of range"},
    {305, "Source memory has been freed"},
    {306, "Destination memory has been freed"},
    {307, "Memory already freed"},
    {308, "Memory has been freed"},
    {309, "Memory not initialized"},
    {310, "Source memory not initialized"},
    {311, "Destination memory not initialized"},
    {312, "Source and destination memory not initialized"},
    {313, "Source and destination memory have been freed"},
};

} // namespace

std::uint32_t errorPending() {
    return pending.load(std::memory_order_relaxed);
}
void clearError() {
    pending.store(0, std::memory_order_relaxed);
}

bool isCriticalNumber(std::int32_t n) {
    return n == 11 || n == 256 || n == 257 || (n >= 259 && n <= 261) || (n >= 502 && n <= 518);
}

bool isCriticalDialogNumber(std::uint32_t n) {
    return n >= 300 && n <= 313;
}

const char* errorMessage(std::uint32_t n) {
    for (const Message& m : kMessages) {
        if (m.number == n) return m.text;
    }
    return "Unprintable error";
}

std::string criticalCaption(std::int32_t n) {
    if (n == 257) return "Critical Error #1";
    if (n >= 502 && n <= 518) return "Critical Error #" + std::to_string(n - 500);
    return "Critical Error";
}

const char* criticalText(std::int32_t n) {
    switch (n) {
    case 11:
        return "Division by zero";
    case 256:
        return "Out of stack space";
    case 259:
        return "Cannot find dynamic library file";
    case 260:
    case 261:
        return "Sub/Function does not exist in dynamic library";
    default:
        return "Out of memory";
    }
}

void raiseError(std::int32_t n) {
    if (isCriticalNumber(n)) port().critical(criticalCaption(n), criticalText(n));
    if (pending.load(std::memory_order_relaxed) != 0) return; // the first error wins
    if (n <= 0) n = 5;
    pending.store(static_cast<std::uint32_t>(n), std::memory_order_relaxed);
    setEventPending();
}

void outOfMemory(int n) {
    port().critical("Critical Error #" + std::to_string(n), "Out of memory");
    std::abort(); // critical() does not return
}

void resetErrorsAndFlags() {
    pending.store(0);
    resetConversation();
}

} // namespace rt
