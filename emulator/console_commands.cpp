#include "console_commands.h"

#include <optional>

#include "text.h"

namespace zelko::emulator {
namespace {

std::string Describe(EmulatedRegister& emulatedRegister) {
  const StatusFields status = emulatedRegister.Status();
  return "status " + FormatStatusReply(status) + ", display \"" + EscapeForLog(emulatedRegister.Display()) + "\", " +
         std::to_string(emulatedRegister.ArticleTable().size()) + " article records";
}

// "open"/"empty" -> true, "close"/"refill" -> false, a lone key -> the opposite of `now`.
std::optional<bool> Wanted(std::string_view word, std::string_view on, std::string_view off, bool toggle, bool now) {
  if (toggle) return !now;
  if (word == on) return true;
  if (word == off || (off == "close" && word == "closed")) return false;
  return std::nullopt;
}

std::optional<std::string> SetPaper(EmulatedRegister& emulatedRegister, Roll roll, std::string_view word, bool toggle) {
  const bool now = roll == Roll::Receipt ? emulatedRegister.Status().receiptPaperEmpty
                                         : emulatedRegister.Status().journalPaperEmpty;
  const auto empty = Wanted(word, "empty", "refill", toggle, now);
  if (!empty) return std::nullopt;
  emulatedRegister.SetPaperEmpty(roll, *empty);
  return std::string(roll == Roll::Receipt ? "receipt" : "journal") + " roll " + (*empty ? "empty" : "refilled");
}

std::optional<std::string> Run(EmulatedRegister& emulatedRegister, std::string_view command) {
  const std::size_t blank = command.find(' ');
  const std::string_view verb = command.substr(0, blank);
  const std::string_view rest = blank == std::string_view::npos ? std::string_view() : command.substr(blank + 1);
  const bool key = command.size() == 1;

  if (verb == "c" || verb == "cover") {
    const auto open = Wanted(rest, "open", "close", key, emulatedRegister.Status().coverOpen);
    if (!open) return std::nullopt;
    emulatedRegister.SetCoverOpen(*open);
    return *open ? "cover open" : "cover closed";
  }
  if (verb == "o" || verb == "receipt") {
    const auto open = Wanted(rest, "open", "close", key, emulatedRegister.Status().receiptOpen);
    if (!open) return std::nullopt;
    emulatedRegister.SetReceiptOpen(*open);
    return *open ? "receipt open" : "receipt closed";
  }
  if (verb == "r") return SetPaper(emulatedRegister, Roll::Receipt, {}, true);
  if (verb == "j") return SetPaper(emulatedRegister, Roll::Journal, {}, true);
  if (verb == "paper") {
    const std::size_t space = rest.find(' ');
    const std::string_view roll = rest.substr(0, space);
    const std::string_view word = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    if (roll == "receipt") return SetPaper(emulatedRegister, Roll::Receipt, word, false);
    if (roll == "journal") return SetPaper(emulatedRegister, Roll::Journal, word, false);
    return std::nullopt;
  }
  if (verb == "data") {
    emulatedRegister.SendData(std::string(rest));
    return "data line queued for the driver";
  }
  if (verb == "s" || verb == "status") return Describe(emulatedRegister);
  if (verb == "h" || verb == "?" || verb == "help") return std::string(kConsoleHelp);
  return std::nullopt;
}

}  // namespace

ConsoleVerdict RunConsoleCommand(EmulatedRegister& emulatedRegister, std::string_view command, std::string& answer) {
  if (command == "q" || command == "quit") {
    answer = "stopping";
    return ConsoleVerdict::Quit;
  }
  if (command.empty()) {
    answer.clear();
    return ConsoleVerdict::Continue;
  }
  const auto done = Run(emulatedRegister, command);
  answer = done ? *done : "unknown command \"" + EscapeForLog(command) + "\"; h for help";
  return ConsoleVerdict::Continue;
}

}  // namespace zelko::emulator
