#pragma once

#include <cstdint>

namespace zelko {

// The numbers that the driver, the register control backends and the
// emulator exchange; one definition each.

// UnifiedPOS result codes of the register control's operations.
inline constexpr std::int32_t kResultSuccess = 0;
inline constexpr std::int32_t kResultIllegal = 106;     // a command the register refuses as malformed
inline constexpr std::int32_t kResultNoHardware = 107;  // the register is not connected
inline constexpr std::int32_t kResultTimeout = 112;
inline constexpr std::int32_t kResultExtended = 114;    // the detailed code is in ResultCodeExtended

// Status codes in characters 1 to 4 of the reply to the status query.
inline constexpr std::int32_t kStatusReady = 0;
inline constexpr std::int32_t kStatusCoverOpen = 103;

// UnifiedPOS printer status-update codes of the two paper rolls (StatusUpdate event).
inline constexpr std::int32_t kJournalEmpty = 21;
inline constexpr std::int32_t kJournalPaperOk = 23;
inline constexpr std::int32_t kReceiptEmpty = 24;
inline constexpr std::int32_t kReceiptPaperOk = 26;

}  // namespace zelko
