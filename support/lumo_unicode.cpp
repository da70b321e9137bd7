// Stand-in for the host maker's liblumowx text conversions.
#include <cstring>

#include "lumo.h"

namespace {

void zero_fill(char* dest, int from, int capacity) {
    if (from < capacity)
        std::memset(dest + from, 0, static_cast<std::size_t>(capacity - from));
}

// Calls visit(code point) for each code point of the text while it returns
// true. wxString holds UTF-32 where wchar_t has 32 bits, but UTF-16 on Windows:
// there a surrogate pair is one code point, so no encoding is ever split; a
// lone surrogate is passed as it is (and replaced like any invalid one).
template <typename Visit> void for_each_code_point(const wxString& text, Visit visit) {
    for (auto at = text.begin(), end = text.end(); at != end; ++at) {
        wxUint32 cp = wxUniChar(*at).GetValue();
        if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp <= 0xDBFF && at + 1 != end) {
            const wxUint32 low = wxUniChar(*(at + 1)).GetValue();
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++at;
            }
        }
        if (!visit(cp))
            return;
    }
}

} // namespace

void lumo_unicode_stringToCharASCII(const wxString& text, char* dest, int capacity) {
    if (dest == nullptr || capacity <= 0)
        return;
    int written = 0;
    for_each_code_point(text, [&](wxUint32 cp) {
        if (written >= capacity)
            return false;
        dest[written++] = static_cast<char>(cp <= 0xFF ? cp : '?');
        return true;
    });
    zero_fill(dest, written, capacity);
}

void lumo_unicode_stringToCharUTF8(const wxString& text, char* dest, int capacity) {
    if (dest == nullptr || capacity <= 0)
        return;
    int written = 0;
    for_each_code_point(text, [&](wxUint32 cp) {
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = 0xFFFD;
        unsigned char seq[4];
        int n = 0;
        if (cp < 0x80) {
            seq[n++] = static_cast<unsigned char>(cp);
        } else if (cp < 0x800) {
            seq[n++] = static_cast<unsigned char>(0xC0 | (cp >> 6));
            seq[n++] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            seq[n++] = static_cast<unsigned char>(0xE0 | (cp >> 12));
            seq[n++] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            seq[n++] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        } else {
            seq[n++] = static_cast<unsigned char>(0xF0 | (cp >> 18));
            seq[n++] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
            seq[n++] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            seq[n++] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        }
        // One byte of the room stays for the zero byte: a reader of a
        // zero-ended text never runs into bytes that were not written.
        if (written + n > capacity - 1)
            return false;
        std::memcpy(dest + written, seq, static_cast<std::size_t>(n));
        written += n;
        return true;
    });
    dest[written] = '\0';
}

void lumo_unicode_stringToCharUTF16BE(const wxString& text, char* dest, int capacity) {
    if (dest == nullptr || capacity <= 0)
        return;
    int written = 0;
    auto put_unit = [&](wxUint32 unit) {
        dest[written++] = static_cast<char>(unit >> 8);
        dest[written++] = static_cast<char>(unit & 0xFF);
    };
    for_each_code_point(text, [&](wxUint32 cp) {
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = 0xFFFD;
        const int needed = cp >= 0x10000 ? 4 : 2;
        if (written + needed > capacity)
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put_unit(0xD800 | (cp >> 10));
            put_unit(0xDC00 | (cp & 0x3FF));
        } else {
            put_unit(cp);
        }
        return true;
    });
    zero_fill(dest, written, capacity);
}

void lumo_unicode_charToStringASCII(const char* source, int capacity, wxString& result) {
    result.clear();
    if (source == nullptr || capacity <= 0)
        return;
    const void* end = std::memchr(source, 0, static_cast<std::size_t>(capacity));
    const std::size_t length =
        end ? static_cast<std::size_t>(static_cast<const char*>(end) - source) : capacity;
    result.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
        // A code point, not a char: wxUniChar(char) decodes by the locale.
        result += wxUniChar(static_cast<wxUint32>(static_cast<unsigned char>(source[i])));
}

void lumo_unicode_charToStringUTF16BE(const char* source, int capacity, wxString& result) {
    result.clear();
    if (source == nullptr || capacity <= 0)
        return;
    const auto* bytes = reinterpret_cast<const unsigned char*>(source);
    const std::size_t units = static_cast<std::size_t>(capacity) / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const wxUint32 unit = (wxUint32{bytes[2 * i]} << 8) | bytes[2 * i + 1];
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const wxUint32 low = (wxUint32{bytes[2 * i + 2]} << 8) | bytes[2 * i + 3];
            if (low >= 0xDC00 && low <= 0xDFFF) {
                result += wxUniChar(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        // A lone surrogate cannot be held as a code point: show the replacement.
        result += wxUniChar(unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
}
