#include "runtime/wait_message.h"

#include <new>

#include <wx/event.h>

#include "abi/result_codes.h"
#include "lumo.h"

namespace {

// Hands one command event to the sink synchronously; the event itself is
// ours and goes when the sink returns, the message (if any) is the sink's.
void send_event(host_sink& sink, int id, wxString* message) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetClientData(message);
    sink.receive_event(event);
}

void show_wait_message(host_sink& sink, const input_config& config) {
    auto* message = new (std::nothrow) wxString;
    if (message == nullptr)
        return;
    lumo_unicode_charToStringUTF16BE(reinterpret_cast<const char*>(config.wait_message),
                                     WAIT_MESSAGE_CAPACITY, *message);
    send_event(sink, EVENT_SHOW_MESSAGE, message);
}

} // namespace

void send_wait_message_events(host_sink* sink, const input_config& config, std::int32_t result) {
    if ((config.flags & FLAG_SHOW_MESSAGE) == 0 || sink == nullptr)
        return;
    if (result == RES_WAIT)
        show_wait_message(*sink, config);
    else if (result == RES_OK)
        send_event(*sink, EVENT_REMOVE_MESSAGE, nullptr);
}
