// Hex text of an RGB colour for the draw log.
#include "replay/colour.h"

namespace telmor {

std::string hex_rrggbb(Rgb colour) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(6);
  for (std::uint8_t byte : {colour.red, colour.green, colour.blue}) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

}  // namespace telmor
