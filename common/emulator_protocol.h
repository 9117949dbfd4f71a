#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelko {

// The names on the wire, shared by the TCP client and the emulator's server.
namespace protocol {
inline constexpr std::string_view kClosePort = "ClosePort";
inline constexpr std::string_view kHighSpeed = "HighSpeed";
inline constexpr std::string_view kOpenPort = "OpenPort";
inline constexpr std::string_view kSendCommand = "SendCommand";
inline constexpr std::string_view kSendQuery = "SendQuery";
inline constexpr std::string_view kResultCodeExtended = "ResultCodeExtended";
inline constexpr std::string_view kStatusUpdate = "StatusUpdate";
inline constexpr std::string_view kDataReceived = "DataReceived";
}  // namespace protocol

// Texts cross the emulator protocol as JSON strings whose code points
// U+0000..U+00FF are the text's bytes, one code point per byte, so that any
// byte survives. These turn bytes into that UTF-8 form and back.
std::string BytesToProtocolText(std::string_view bytes);
// Empty when the UTF-8 is malformed or holds a code point above U+00FF.
std::optional<std::string> ProtocolTextToBytes(std::string_view utf8);

}  // namespace zelko
