#include "mail/iso2022jp.h"

#include "text/base64.h"
#include "text/sjis_cut.h"

namespace vntra {
namespace {

bool is_trail(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
bool is_half_kana(unsigned char b) {
    return b >= 0xA1 && b <= 0xDF;
}

const unsigned char HALF_VOICED_MARK = 0xDE;      // ﾞ
const unsigned char HALF_SEMI_VOICED_MARK = 0xDF; // ﾟ

// Full-width JIS X 0208 codes of the half-width katakana 0xA1 .. 0xDF.
const uint16_t HALF_KANA_TO_JIS[63] = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, // ｡｢｣､･ｦｧｨ
    0x2525, 0x2527, 0x2529, 0x2563, 0x2565, 0x2567, 0x2543, 0x213C, // ｩｪｫｬｭｮｯｰ
    0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B, 0x252D, 0x252F, // ｱｲｳｴｵｶｷｸ
    0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, // ｹｺｻｼｽｾｿﾀ
    0x2541, 0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D, // ﾁﾂﾃﾄﾅﾆﾇﾈ
    0x254E, 0x254F, 0x2552, 0x2555, 0x2558, 0x255B, 0x255E, 0x255F, // ﾉﾊﾋﾌﾍﾎﾏﾐ
    0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569, 0x256A, // ﾑﾒﾓﾔﾕﾖﾗﾘ
    0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C,         // ﾙﾚﾛﾜﾝﾞﾟ
};

// The full-width form of the half-width katakana at text[i], joined with a
// voiced or semi-voiced mark after it where one exists (ｶﾞ → ガ, ﾊﾟ → パ).
uint16_t half_kana_at(std::string_view text, size_t& i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    uint16_t code = HALF_KANA_TO_JIS[b - 0xA1];
    ++i;
    if (i >= text.size())
        return code;
    unsigned char mark = static_cast<unsigned char>(text[i]);
    bool ka_to_to = b >= 0xB6 && b <= 0xC4; // ｶ .. ﾄ
    bool ha_to_ho = b >= 0xCA && b <= 0xCE; // ﾊ .. ﾎ
    if (mark == HALF_VOICED_MARK && (ka_to_to || ha_to_ho)) {
        ++i;
        return code + 1;
    }
    if (mark == HALF_VOICED_MARK && b == 0xB3) { // ｳﾞ → ヴ
        ++i;
        return 0x2574;
    }
    if (mark == HALF_SEMI_VOICED_MARK && ha_to_ho) {
        ++i;
        return code + 2;
    }
    return code;
}

// Position of a double-byte code among all codes in Shift-JIS order, so that
// runs of codes can be counted across lead bytes (188 trail bytes a lead).
int code_ordinal(uint16_t code) {
    int trail = code & 0xFF;
    return (code >> 8) * 188 + (trail < 0x7F ? trail - 0x40 : trail - 0x41);
}

uint16_t code_at_ordinal(int ordinal) {
    int lead = ordinal / 188;
    int index = ordinal % 188;
    return static_cast<uint16_t>(lead * 256 + (index < 0x3F ? index + 0x40 : index + 0x41));
}

const uint16_t IBM_FIRST = 0xFA40;
const uint16_t IBM_FIRST_KANJI = 0xFA5C;
const uint16_t IBM_LAST = 0xFC4B;
const uint16_t NEC_SELECTED_FIRST_KANJI = 0xED40;

// The signs and numerals before the IBM kanji, 0xFA40 .. 0xFA5B.
const uint16_t IBM_SIGN_TWINS[28] = {
    0xEEEF, 0xEEF0, 0xEEF1, 0xEEF2, 0xEEF3, 0xEEF4, 0xEEF5, 0xEEF6, // ⅰ .. ⅷ
    0xEEF7, 0xEEF8, 0x8754, 0x8755, 0x8756, 0x8757, 0x8758, 0x8759, // ⅸ ⅹ Ⅰ .. Ⅵ
    0x875A, 0x875B, 0x875C, 0x875D, 0x81CA, 0xEEFA, 0xEEFB, 0xEEFC, // Ⅶ .. Ⅹ ￢ ￤ ＇ ＂
    0x878A, 0x8782, 0x8784, 0x81E6,                                 // ㈱ № ℡ ∵
};

const char ESCAPE_TO_JIS[] = "\x1B$B";
const char ESCAPE_TO_ASCII[] = "\x1B(B";

} // namespace

uint16_t ibm_extension_twin(uint16_t code) {
    if (code < IBM_FIRST || code > IBM_LAST || !is_trail(static_cast<unsigned char>(code & 0xFF)))
        return code;
    if (code < IBM_FIRST_KANJI)
        return IBM_SIGN_TWINS[code_ordinal(code) - code_ordinal(IBM_FIRST)];
    // The 360 IBM kanji and their NEC-selected twins lie in the same order.
    return code_at_ordinal(code_ordinal(NEC_SELECTED_FIRST_KANJI) + code_ordinal(code) -
                           code_ordinal(IBM_FIRST_KANJI));
}

uint16_t sjis_to_jis(uint16_t code) {
    unsigned lead = code >> 8;
    unsigned trail = code & 0xFF;
    if (!is_sjis_lead_byte(static_cast<unsigned char>(lead)) ||
        !is_trail(static_cast<unsigned char>(trail)))
        return 0;
    unsigned p = lead < 0xA0 ? lead - 0x81 : lead - 0xC1;
    unsigned high;
    unsigned low;
    if (trail >= 0x9F) {
        high = 2 * p + 0x22;
        low = trail - 0x7E;
    } else {
        high = 2 * p + 0x21;
        low = trail <= 0x7E ? trail - 0x1F : trail - 0x20;
    }
    unsigned jis = high * 256 + low;
    if (jis < 0x2121 || jis > 0x7E7E || low < 0x21 || low > 0x7E)
        return 0;
    return static_cast<uint16_t>(jis);
}

std::string to_iso2022jp(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 2);
    bool double_mode = false;
    auto put_double = [&](uint16_t jis) {
        if (!double_mode)
            out += ESCAPE_TO_JIS;
        double_mode = true;
        out += static_cast<char>(jis >> 8);
        out += static_cast<char>(jis & 0xFF);
    };
    auto put_single = [&](char c) {
        if (double_mode)
            out += ESCAPE_TO_ASCII;
        double_mode = false;
        out += c;
    };
    size_t i = 0;
    while (i < sjis.size()) {
        unsigned char b = static_cast<unsigned char>(sjis[i]);
        if (b == 0)
            break;
        if (is_sjis_lead_byte(b)) {
            uint16_t jis = 0;
            // A lead byte without a proper second byte stands alone, so that
            // what follows it (a line end, say) is not swallowed.
            size_t used = 1;
            if (i + 1 < sjis.size() && is_trail(static_cast<unsigned char>(sjis[i + 1]))) {
                jis = sjis_to_jis(ibm_extension_twin(
                    static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(sjis[i + 1]))));
                used = 2;
            }
            put_double(jis != 0 ? jis : JIS_REPLACEMENT);
            i += used;
        } else if (is_half_kana(b)) {
            put_double(half_kana_at(sjis, i));
        } else if (b == '\r') {
            put_single('\n');
            i += i + 1 < sjis.size() && sjis[i + 1] == '\n' ? 2 : 1;
        } else if (b >= 0x80 || b == 0x1B || b == 0x0E || b == 0x0F) {
            // No character in code page 932, or a byte a decoder would take as
            // a change of character set.
            put_single('?');
            ++i;
        } else {
            put_single(static_cast<char>(b));
            ++i;
        }
    }
    if (double_mode)
        out += ESCAPE_TO_ASCII;
    return out;
}

size_t arriving_length(std::string_view sjis) {
    size_t length = 0;
    size_t i = 0;
    while (i < sjis.size() && sjis[i] != '\0') {
        unsigned char b = static_cast<unsigned char>(sjis[i]);
        if (is_half_kana(b)) {
            half_kana_at(sjis, i);
            length += 2;
        } else if (is_sjis_lead_byte(b)) {
            i += i + 1 < sjis.size() && is_trail(static_cast<unsigned char>(sjis[i + 1])) ? 2 : 1;
            length += 2;
        } else {
            ++i;
            ++length;
        }
    }
    return length;
}

std::string encode_header_word(std::string_view jis) {
    size_t length = jis.find('\0');
    if (length == std::string_view::npos)
        length = jis.size();
    return "=?ISO-2022-JP?B?" + base64_encode(jis.substr(0, length)) + "?=";
}

} // namespace vntra
