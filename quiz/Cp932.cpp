#include "quiz/Cp932.h"

#include "core/FatalError.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace velmora {

namespace {

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf32 = "UTF-32LE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

iconv_t OpenConverter(const char* to, const char* from)
{
    iconv_t converter = iconv_open(to, from);
    if (converter == kNoConverter) {
        throw FatalError(QStringLiteral("The system's iconv cannot convert from %1 to %2 (%3); "
                                        "the question file cannot be read without it.")
                             .arg(QLatin1String(from), QLatin1String(to),
                                  QString::fromLocal8Bit(std::strerror(errno))));
    }
    return converter;
}

// Converts all of `input` in one go. Returns the number of output bytes, or nothing when iconv
// stops early (invalid or incomplete input, or more output than fits).
template <std::size_t N>
std::optional<std::size_t> ConvertWhole(iconv_t converter, const char* input, std::size_t inputSize,
                                        std::array<char, N>& output)
{
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input);
    std::size_t inLeft = inputSize;
    char* out = output.data();
    std::size_t outLeft = output.size();
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    if (iconv(converter, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    return output.size() - outLeft;
}

} // namespace

Cp932Converter::Cp932Converter()
    : m_toUnicode(OpenConverter(kUtf32, kCp932))
    , m_fromUnicode(kNoConverter)
{
    try {
        m_fromUnicode = OpenConverter(kCp932, kUtf32);
    } catch (...) {
        iconv_close(m_toUnicode);
        throw;
    }
}

Cp932Converter::~Cp932Converter()
{
    iconv_close(m_fromUnicode);
    iconv_close(m_toUnicode);
}

std::optional<char32_t> Cp932Converter::CharacterOf(quint16 code)
{
    std::array<char, 2> bytes{};
    std::size_t size = 0;
    if (code > 0xFF) {
        bytes[size++] = static_cast<char>(code >> 8);
    }
    bytes[size++] = static_cast<char>(code & 0xFF);

    // Room for two characters, so that a pair decoding into two single-byte characters is seen.
    std::array<char, 8> utf32{};
    const std::optional<std::size_t> written = ConvertWhole(m_toUnicode, bytes.data(), size, utf32);
    if (!written || *written != 4) {
        return std::nullopt;
    }
    const auto byte = [&utf32](int i) { return static_cast<char32_t>(static_cast<unsigned char>(utf32[i])); };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

std::optional<quint16> Cp932Converter::CodeOf(char32_t character)
{
    const std::array<char, 4> utf32{static_cast<char>(character & 0xFF),
                                    static_cast<char>((character >> 8) & 0xFF),
                                    static_cast<char>((character >> 16) & 0xFF),
                                    static_cast<char>((character >> 24) & 0xFF)};
    std::array<char, 4> bytes{};
    const std::optional<std::size_t> written = ConvertWhole(m_fromUnicode, utf32.data(), utf32.size(), bytes);
    if (!written || *written < 1 || *written > 2) {
        return std::nullopt;
    }
    quint16 code = static_cast<unsigned char>(bytes[0]);
    if (*written == 2) {
        code = static_cast<quint16>(code << 8 | static_cast<unsigned char>(bytes[1]));
    }
    if (CharacterOf(code) != character) {
        return std::nullopt;
    }
    return code;
}

} // namespace velmora
