// The follow-up operation the host fetches after RES_CUSTOM_OPERATION.
#pragma once

#include <cstddef>
#include <cstdint>

#include <wx/string.h>

#include "abi/element_handle.h"

// Writes the pending follow-up (timeout action or forwarded text) into the
// host's operation record. RES_UNSUPPORTED for a record of another kind or
// nothing pending.
std::int32_t get_custom_operation(element_handle* element, void* custom_operation);

// OP_FORWARD_IN2..IN5 for the set FLAG_FORWARD_IN2..IN5 bits of `flags`.
std::uint32_t forward_op_code(std::uint32_t flags);

struct char_span {
    std::size_t first;
    std::size_t count;
};

// Characters `from` to `to`, both inclusive, of a text of `length`
// characters: cut off at the end of the text, empty when `from` lies beyond
// it or `to` lies before `from`.
char_span forwarded_span(std::size_t length, std::uint8_t from, std::uint8_t to);

// `span` of `text`, widened where a bound falls between the two UTF-16 units
// of a character beyond U+FFFF (wxString on Windows), so the character goes
// whole; the bounds still count units there, as stored records do. Elsewhere
// `span` as it is.
char_span whole_characters(const wxString& text, char_span span);

// The UTF-8 limit for a host that states `text_capacity`: a quarter of it,
// truncated toward zero. A limit of 0 or less means no text is written.
inline int forward_text_limit(std::int32_t text_capacity) {
    return text_capacity / 4;
}
