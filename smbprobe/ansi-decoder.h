// Conversion of SMBIOS strings (8-bit text in the machine's ANSI code page) to UTF-16.
// The Windows shell uses the calling thread's ANSI code page; tests and the native viewer use
// code page 1252, the page of the machines this library ships on.
#pragma once

#include <string>
#include <string_view>

namespace orvo {

class AnsiDecoder {
public:
  virtual ~AnsiDecoder() = default;
  // The whole input converted; an empty text when the conversion fails.
  virtual std::u16string Decode(std::string_view bytes) const = 0;
};

// Windows code page 1252. Its five unassigned bytes map to the C1 control of the same value,
// as Windows' own converter does.
class Cp1252Decoder final : public AnsiDecoder {
public:
  std::u16string Decode(std::string_view bytes) const override;
};

}  // namespace orvo
