#pragma once

#include <QtGlobal>

#include <iconv.h>

#include <optional>

namespace velmora {

// Turns code-page-932 character codes into characters and back. A code is what the question file
// writes for one character: a single-byte character as its byte (0x00 to 0xFF), a double-byte
// character as lead byte * 256 + trail byte. Both directions go through glibc's iconv, so the game
// and the question packer agree on every code.
class Cp932Converter {
public:
    // Throws FatalError when iconv has no CP932 table.
    Cp932Converter();
    ~Cp932Converter();
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;

    // The one character a code names; nothing for a lone lead byte, an undefined pair, or a pair
    // whose first byte is no lead byte (that would be two characters, not one).
    std::optional<char32_t> CharacterOf(quint16 code);

    // The code of a character, only when decoding that code gives the character back: characters
    // that code page 932 folds onto another character's code have no code here.
    std::optional<quint16> CodeOf(char32_t character);

private:
    iconv_t m_toUnicode;
    iconv_t m_fromUnicode;
};

} // namespace velmora
