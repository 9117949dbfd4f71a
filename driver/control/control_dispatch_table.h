#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace zelko {

// What the driver relies on in the maker's control: its six operations with
// their dispatch ids, kinds of call and the argument types the driver passes,
// and its two events with the argument type the driver reads. The dispatch
// binding calls by these ids; the control inspection compares a control's
// type library with them.

enum class InvokeKind { kMethod, kPropertyPut, kPropertyGet };

// Automation types by their Visual Basic names; kNone: no result read.
enum class AutomationType { kNone, kLong, kInteger, kString, kBoolean };

struct ControlArgument {
  AutomationType type = AutomationType::kNone;
  bool byReference = false;
};

struct ControlOperation {
  std::string_view name;
  std::int32_t dispatchId;
  InvokeKind kind;
  AutomationType result;
  // In declared order; the places after the last argument stay kNone.
  std::array<ControlArgument, 4> arguments;

  constexpr std::span<const ControlArgument> Arguments() const {
    std::size_t count = 0;
    while (count < arguments.size() && arguments[count].type != AutomationType::kNone) ++count;
    return {arguments.data(), count};
  }
};

// An event has one argument; the driver reads it by value or by reference.
struct ControlEvent {
  std::string_view name;
  AutomationType argument;
};

namespace control_table {

using enum AutomationType;

inline constexpr ControlOperation kClosePort{"ClosePort", 0x60030016, InvokeKind::kMethod, kLong, {}};
inline constexpr ControlOperation kOpenPort{"OpenPort", 0x60030015, InvokeKind::kMethod, kLong, {{{kString, true}}}};
inline constexpr ControlOperation kHighSpeed{"HighSpeed", 0x68030004, InvokeKind::kPropertyPut, kNone,
                                             {{{kBoolean, false}}}};
inline constexpr ControlOperation kSendCommand{
    "SendCommand", 0x60030034, InvokeKind::kMethod, kLong, {{{kLong, false}, {kInteger, false}, {kString, false}}}};
inline constexpr ControlOperation kSendQuery{
    "SendQuery", 0x60030035, InvokeKind::kMethod, kLong,
    {{{kLong, false}, {kInteger, false}, {kString, false}, {kString, true}}}};
inline constexpr ControlOperation kResultCodeExtended{"ResultCodeExtended", 0x68030009, InvokeKind::kPropertyGet,
                                                      kLong, {}};

inline constexpr std::array kOperations{kClosePort, kOpenPort, kHighSpeed, kSendCommand, kSendQuery,
                                        kResultCodeExtended};

inline constexpr ControlEvent kStatusUpdate{"StatusUpdate", kLong};
inline constexpr ControlEvent kDataReceived{"DataReceived", kString};

inline constexpr std::array kEvents{kStatusUpdate, kDataReceived};

}  // namespace control_table

}  // namespace zelko
