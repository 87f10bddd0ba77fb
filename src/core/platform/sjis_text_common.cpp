#include "platform/sjis_text.h"
#include "platform/sjis_text_detail.h"

namespace vntra {
namespace {

// Characters that Macs, web pages and Unicode-minded tools write where a
// Japanese Windows user types the Shift-JIS one. The systems disagree about
// them (the Windows code page refuses them outright, iconv takes them), so
// they are mapped here, before either conversion, and every build gives the
// same bytes.
struct JisVariant {
    std::string_view utf8;
    std::string_view sjis;
};
const JisVariant JIS_VARIANTS[] = {
    {"\xE3\x80\x9C", "\x81\x60"}, // U+301C wave dash
    {"\xE2\x80\x96", "\x81\x61"}, // U+2016 double vertical line
    {"\xE2\x88\x92", "\x81\x7C"}, // U+2212 minus sign
    {"\xC2\xA2", "\x81\x91"},     // U+00A2 cent sign
    {"\xC2\xA3", "\x81\x92"},     // U+00A3 pound sign
    {"\xC2\xAC", "\x81\xCA"},     // U+00AC not sign
    {"\xE2\x80\x94", "\x81\x5C"}, // U+2014 em dash
};

// The variant that starts at `at`, or null. Their lead bytes never occur
// inside another UTF-8 character, so a match is always a whole character.
const JisVariant* variant_at(std::string_view utf8, size_t at) {
    unsigned char lead = static_cast<unsigned char>(utf8[at]);
    if (lead != 0xC2 && lead != 0xE2 && lead != 0xE3)
        return nullptr;
    for (const JisVariant& variant : JIS_VARIANTS)
        if (utf8.substr(at, variant.utf8.size()) == variant.utf8)
            return &variant;
    return nullptr;
}

// Converts the runs between variants with the system and puts each
// variant's own bytes between them.
bool convert_with_variants(std::string_view utf8, std::string& sjis, bool exact) {
    sjis.clear();
    sjis.reserve(utf8.size());
    size_t run = 0;
    size_t at = 0;
    while (at < utf8.size()) {
        const JisVariant* variant = variant_at(utf8, at);
        if (!variant) {
            ++at;
            continue;
        }
        if (!sjis_text_detail::append_sjis(utf8.substr(run, at - run), sjis, exact))
            return false;
        sjis += variant->sjis;
        at += variant->utf8.size();
        run = at;
    }
    return sjis_text_detail::append_sjis(utf8.substr(run), sjis, exact);
}

} // namespace

std::string utf8_to_sjis(std::string_view utf8) {
    std::string sjis;
    convert_with_variants(utf8, sjis, false);
    return sjis;
}

bool utf8_to_sjis_exact(std::string_view utf8, std::string& sjis) {
    return convert_with_variants(utf8, sjis, true);
}

} // namespace vntra
