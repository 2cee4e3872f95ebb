#include "gsm/GsmText.h"

#include "codec/Hex.h"
#include "platform/CodePage.h"

#include <algorithm>

#include <string>
#include <string_view>

namespace gsm {

namespace {

constexpr uint8_t kEscape = 27;
constexpr uint8_t kSpace = 32;
constexpr uint8_t kEuroExtension = 101;
constexpr char16_t kEuroSign = 0x20AC;

}  // namespace

// clang-format off
const char16_t kGsmToUcs2Table[128] = {
    // 0-15: @ £ $ ¥ è é ù ì ò Ç LF Ø ø CR Å å
    0x0040, 0x00A3, 0x0024, 0x00A5, 0x00E8, 0x00E9, 0x00F9, 0x00EC,
    0x00F2, 0x00C7, 0x000A, 0x00D8, 0x00F8, 0x000D, 0x00C5, 0x00E5,
    // 16-31: Δ _ Φ Γ Λ Ω Π ψ Σ θ Ξ (escape reads as a space) Æ æ ß É
    0x0394, 0x005F, 0x03A6, 0x0393, 0x039B, 0x03A9, 0x03A0, 0x03C8,
    0x03A3, 0x03B8, 0x039E, 0x0020, 0x00C6, 0x00E6, 0x00DF, 0x00C9,
    // 32-47: space ! " # ¤ % & ' ( ) * + , - . /
    0x0020, 0x0021, 0x0022, 0x0023, 0x00A4, 0x0025, 0x0026, 0x0027,
    0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    // 48-63: 0-9 : ; < = > ?
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    // 64-79: ¡ A-O
    0x00A1, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F,
    // 80-95: P-Z [ Ö ] Ü §
    0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,
    0x0058, 0x0059, 0x005A, 0x005B, 0x00D6, 0x005D, 0x00DC, 0x00A7,
    // 96-111: ¿ a-o
    0x00BF, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F,
    // 112-127: p-z ä ö ñ ü à
    0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x00E4, 0x00F6, 0x00F1, 0x00FC, 0x00E0,
};

const char16_t kGsmExtensionToUcs2Table[128] = {
    // 0-15: 10 form feed
    0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
    0x001B, 0x001B, 0x000C, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
    // 16-31: 20 ^
    0x001B, 0x001B, 0x001B, 0x001B, 0x005E, 0x001B, 0x001B, 0x001B,
    0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
    // 32-47: 40 { 41 } 47 backslash
    0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
    0x007B, 0x007D, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x005C,
    // 48-63: 60 [ 61 ~ 62 ]
    0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
    0x001B, 0x001B, 0x001B, 0x001B, 0x005B, 0x007E, 0x005D, 0x001B,
    // 64-79: 64 |
    0x007C, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
    0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
    // 80-95
    0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
    0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
    // 96-111: 101 euro sign
    0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x20AC, 0x001B, 0x001B,
    0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
    // 112-127
    0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
    0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B, 0x001B,
};

const uint8_t kUcs2ToGsmTable[256] = {
    // U+0000-U+000F: only LF and CR have codes of their own (form feed goes as an escape pair)
    32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  10,  32,  32,  13,  32,  32,
    // U+0010-U+001F
    32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,
    // U+0020-U+002F: space ! " # $ % & ' ( ) * + , - . /
    32,  33,  34,  35,   2,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,
    // U+0030-U+003F: 0-9 : ; < = > ?
    48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,
    // U+0040-U+004F: @ A-O
     0,  65,  66,  67,  68,  69,  70,  71,  72,  73,  74,  75,  76,  77,  78,  79,
    // U+0050-U+005F: P-Z [ \ ] ^ _
    80,  81,  82,  83,  84,  85,  86,  87,  88,  89,  90,  91,  32,  93,  32,  17,
    // U+0060-U+006F: ` a-o
    32,  97,  98,  99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111,
    // U+0070-U+007F: p-z { | } ~ DEL
   112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122,  32,  32,  32,  32,  32,
    // U+0080-U+009F: control characters
    32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,
    32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,
    // U+00A0-U+00AF: nbsp ¡ ¢ £ ¤ ¥ ¦ § ¨ © ª « ¬ shy ® ¯
    32,  64,  32,   1,  36,   3,  32,  95,  32,  32,  32,  32,  32,  32,  32,  32,
    // U+00B0-U+00BF: ... ¿
    32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  32,  96,
    // U+00C0-U+00CF: À Á Â Ã Ä Å Æ Ç È É Ê Ë Ì Í Î Ï
    65,  65,  65,  65,  32,  14,  28,   9,  69,  31,  69,  69,  73,  73,  73,  73,
    // U+00D0-U+00DF: Ð Ñ Ò Ó Ô Õ Ö × Ø Ù Ú Û Ü Ý Þ ß
    32,  32,  79,  79,  79,  79,  92,  32,  11,  85,  85,  85,  94,  89,  32,  30,
    // U+00E0-U+00EF: à á â ã ä å æ ç è é ê ë ì í î ï
   127,  97,  97,  97, 123,  15,  29,  99,   4,   5, 101, 101,   7, 105, 105, 105,
    // U+00F0-U+00FF: ð ñ ò ó ô õ ö ÷ ø ù ú û ü ý þ ÿ
    32, 125,   8, 111, 111, 111, 124,  32,  12,   6, 117, 117, 126, 121,  32, 121,
};
// clang-format on

namespace {

// The ten capital Greek letters of the alphabet (the small theta and psi stand in for their
// capitals, which have no code of their own here).
int greekCode(char16_t character)
{
    switch (character) {
    case 0x0393: return 19;  // Γ
    case 0x0394: return 16;  // Δ
    case 0x039B: return 20;  // Λ
    case 0x039E: return 26;  // Ξ
    case 0x03A0: return 22;  // Π
    case 0x03A3: return 24;  // Σ
    case 0x03A6: return 18;  // Φ
    case 0x03A9: return 21;  // Ω
    case 0x03B8: return 25;  // θ
    case 0x03C8: return 23;  // ψ
    default: return -1;
    }
}

// The code after an escape for the characters sent as an escape pair; -1 for the others.
int extensionCode(char16_t character)
{
    switch (character) {
    case 12: return 10;
    case u'[': return 60;
    case u'\\': return 47;
    case u']': return 62;
    case u'^': return 20;
    case u'{': return 40;
    case u'|': return 64;
    case u'}': return 41;
    case u'~': return 61;
    case 0x00A4: return kEuroExtension;  // ¤ stands for the euro sign, as in ISO 8859-15
    default: return -1;
    }
}

constexpr char16_t kCapitalNWithTilde = 0x00D1;

}  // namespace

int GsmToUcs2(char16_t *output, int capacity, const uint8_t *input, int count)
{
    if (output == nullptr || input == nullptr || capacity <= 0 || count < 0 || capacity < count)
        return -1;
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t code = input[i];
        if (code >= 128) {
            output[written++] = u' ';
        } else if (code == kEscape) {
            if (i + 1 == count)
                break;  // an escape with nothing after it says nothing
            const uint8_t extension = input[++i];
            if (extension >= 128)
                output[written++] = u' ';
            else if (extension == kEuroExtension)
                output[written++] = kEuroSign;
            else
                output[written++] = kGsmExtensionToUcs2Table[extension];
        } else {
            output[written++] = kGsmToUcs2Table[code];
        }
    }
    return written;
}

int Ucs2ToGsm(uint8_t *output, int size, const char16_t *input, int count)
{
    if (output == nullptr || input == nullptr || size <= 0 || count < 0 || size / 2 < count)
        return -1;
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t character = input[i];
        if (const int extension = extensionCode(character); extension >= 0) {
            output[written++] = kEscape;
            output[written++] = static_cast<uint8_t>(extension);
        } else if (character == kCapitalNWithTilde) {
            output[written++] = 'N';
        } else if (character <= 0xFF) {
            output[written++] = kUcs2ToGsmTable[character];
        } else if (const int greek = greekCode(character); greek >= 0) {
            output[written++] = static_cast<uint8_t>(greek);
        } else {
            output[written++] = kSpace;  // the euro sign too: it is reached through U+00A4
        }
    }
    return written;
}

int IsGsmText(const char16_t *text, int count)
{
    if (text == nullptr || count < 0)
        return -1;
    for (int i = 0; i < count; ++i) {
        const char16_t character = text[i];
        const bool acceptable = character == u' ' || character == kCapitalNWithTilde ||
                                extensionCode(character) >= 0 || greekCode(character) >= 0 ||
                                (character <= 0xFF && kUcs2ToGsmTable[character] != kSpace);
        if (!acceptable)
            return 0;
    }
    return 1;
}

int IsGsmAnsiText(const char *text)
{
    if (text == nullptr)
        return -1;
    const std::u16string wide = platform::ansiToUtf16(text);
    return IsGsmText(wide.data(), static_cast<int>(wide.size()));
}

int HexToBytes(uint8_t *output, int size, const char *hex, int length)
{
    if (output == nullptr || hex == nullptr || size <= 0 || length < 0 || size < length / 2 + 1)
        return -1;
    for (int i = 0; i < length; ++i) {
        // Any other character counts as the digit 0.
        const auto nibble = static_cast<uint8_t>(std::max(codec::hexDigitValue(hex[i]), 0));
        output[i / 2] |= (i % 2 == 0) ? static_cast<uint8_t>(nibble << 4) : nibble;
    }
    return 0;
}

int Ucs2ToAnsi(char *output, int size, const char16_t *input, int count)
{
    if (output == nullptr || input == nullptr || size <= 0 || count < 0 || size / 2 < count)
        return -1;
    const std::string ansi =
        platform::utf16ToAnsi(std::u16string_view(input, static_cast<size_t>(count)));
    // A character may take more than two bytes (three in UTF-8), and the terminator needs room
    // as well: cut the text where it stops fitting rather than write past the buffer.
    const std::string_view kept = platform::truncateAnsi(ansi, static_cast<size_t>(size) - 1);
    ansi.copy(output, kept.size());
    output[kept.size()] = '\0';
    return static_cast<int>(kept.size());
}

}  // namespace gsm
