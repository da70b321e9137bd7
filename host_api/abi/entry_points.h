// The plug-in's 14 exported entry points: the whole boundary with the host.
//
// Call sequence of a host:
//  1. Load the library (dlopen / LoadLibrary) and resolve the 14 names of
//     VEXA_ENTRY_POINTS (dlsym / GetProcAddress). Never unload it.
//  2. vexa_get_ui_parameters: name, description and icons of the element kind.
//  3. vexa_set_config_info once per controller, before a panel is built.
//  4. Create, per element: vexa_create_instance, then vexa_set_refresh_callback.
//  5. Load: vexa_set_loaded_data with the element's stored save record.
//  6. Select: vexa_select(element, flags, 1) when the property window shows the
//     element, vexa_select(nullptr, 0, 0) when it shows none.
//  7. Run, each time the project reaches the element: vexa_continuous_stream,
//     then vexa_check_input_value per input record until RES_OK;
//     vexa_get_custom_operation after RES_CUSTOM_OPERATION. A wait run in the
//     controller's stream: vexa_get_bin_value, then vexa_release_bin_data.
//  8. Save: vexa_get_save_data; copy the record before the next save or load.
//  9. Delete: vexa_release_bin_data if a block is held, vexa_delete_instance,
//     then clear the handle's slot.
// 10. vexa_reset_gui when the property window goes away; the host destroys the
//     panel's controls (they are the window's children).
//
// Threads: [GUI thread] = the toolkit's main thread only. [any one thread at a
// time] = any thread, but never two calls at once, and none while the GUI
// thread runs the panel's events (they change the same elements).
// A null handle or a handle whose instance slot is empty: RES_INVALID or
// nothing done, unless stated otherwise. Null out-pointers are skipped.
// No call lets a C++ exception out: an allocation that fails inside the
// toolkit or the C++ library gives the answer each call states.
// Bad input in full: docs/robustness.md.
#pragma once

#include <cstdint>

#include "element_handle.h"
#include "result_codes.h"
#include "ui_parameters.h"

#if defined(_WIN32)
#define VEXA_EXPORT __declspec(dllexport)
#else
#define VEXA_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// [GUI thread] Stores a new record in element->instance_data (null on failure).
// It copies the configuration last edited in the panel (factory settings at
// first). The element becomes the panel's current one: select one next.
// Builds the panel when element->parent_window is set and has no children.
// creation_record: host owns; read whenever a panel is built for this element,
// so valid until vexa_delete_instance. Null: byte 12 bit 0x01 clear.
// RES_OK. RES_INVALID: null element. RES_NO_MEMORY: no record, no panel
// object, or the panel's build failed (no panel object then); the slot may
// hold a record: call vexa_delete_instance.
VEXA_EXPORT std::int32_t vexa_create_instance(element_handle* element, const void* creation_record);

// [any one thread at a time] Frees the element's record. The slot keeps the
// freed pointer: the host clears it; any later call with it is undefined.
// A held result-data block is not freed: release it first.
// The panel ignores events until the next selection if this element was current.
// RES_OK, always (null handle and empty slot too).
VEXA_EXPORT std::int32_t vexa_delete_instance(element_handle* element);

// [GUI thread] Writes name, description, two icons and three numbers; nothing
// else. The bitmaps are new on every call: host owns them from then on.
// RES_OK. RES_INVALID: null parameters. RES_NO_MEMORY: an icon could not be
// made; nothing written.
VEXA_EXPORT std::int32_t vexa_get_ui_parameters(ui_parameters* parameters);

// [any one thread at a time] Sets the element's refresh_callback; null takes
// it back. Null handle or empty slot: nothing.
VEXA_EXPORT void vexa_set_refresh_callback(element_handle* element, refresh_callback callback);

// [any one thread at a time] Encodes the element as a save record (956 bytes,
// version 5, big-endian) into the plug-in's one save buffer, stores 956 in
// *length and returns the buffer. Plug-in owns it: valid until the next save
// or load of any element; the host copies it, never frees it. Reserved bytes
// keep what the buffer held. Null handle or empty slot: null, *length = 0.
VEXA_EXPORT char* vexa_get_save_data(element_handle* element, std::uint32_t* length);

// [any one thread at a time] Replaces the element's configuration by the save
// record at data (host owns; read during the call only). At most 956 bytes
// are read, bytes past length read as zero, null data reads as no bytes; any
// version loads (older ones get defaults). Overwrites the save buffer.
// Assigns element->colour; calls no callback and refills no panel (select the
// element again to show it). RES_OK. RES_INVALID: null handle or empty slot,
// nothing changed. RES_NO_MEMORY (only the first load of all allocates): the
// configuration is loaded, the colour not assigned. data may be the buffer
// vexa_get_save_data returned, or a part of it. A length beyond what data
// holds: outside the contract.
VEXA_EXPORT std::int32_t vexa_set_loaded_data(element_handle* element, std::uint32_t length,
                                              const char* data);

// [any one thread at a time] Copies one controller description (4416 bytes,
// host owns, read during the call only) into the table entry of its index.
// Ignored: null, not CONFIG_VALID, index 9 and above. Capabilities add up
// until vexa_reset_gui; a panel shows the sections of those described before
// it was built.
VEXA_EXPORT void vexa_set_config_info(const void* controller_config);

// [any one thread at a time] Tests one input record (472 bytes, host owns,
// read during the call only) sent by `controller`. In order: starts the clock
// armed by vexa_continuous_stream, filters by controller, applies an expired
// timeout, tests the condition.
// RES_OK: condition met, or timeout expired with ACTION_CONTINUE.
// RES_WAIT: not met. RES_IGNORED: not the element's controller.
// RES_CUSTOM_OPERATION: timeout expired with another action, or a serial
// match with forwarding on: call vexa_get_custom_operation.
// RES_INVALID: null handle, empty slot, null record (checked before anything
// else), or no valid input mode. RES_NO_MEMORY: a text or an event could not
// be made; the record counts as not seen.
// With FLAG_SHOW_MESSAGE and a sink: RES_WAIT sends EVENT_SHOW_MESSAGE, RES_OK
// EVENT_REMOVE_MESSAGE, during the call, on the calling thread.
VEXA_EXPORT std::int32_t vexa_check_input_value(element_handle* element, const void* input_record,
                                                std::int32_t controller);

// [any one thread at a time] First call of each wait: arms the timeout clock
// (the next vexa_check_input_value starts it; without this call a timeout is
// measured from a stale deadline) and stores the element's controller and
// RESULT_SECOND_VALUE. True when the wait can run in the controller's stream:
// no timeout, no message, no serial input, controller has FEATURE_STREAM_WAIT.
// Null handle or empty slot: false, nothing stored.
VEXA_EXPORT bool vexa_continuous_stream(element_handle* element, std::int32_t* controller_out,
                                        std::int32_t* second_out);

// [any one thread at a time] Makes the element's condition a result-data
// block (run_records.h): *block_out = block, *io_out = RESULT_DATA_IO. Plug-in
// owns the block until vexa_release_bin_data; one block at a time.
// *controller_out and *second_out as vexa_continuous_stream, whatever the result
// but for a null handle or empty slot.
// RES_OK. RES_INVALID: null handle, empty slot, or a block still held.
// RES_IGNORED: no input mode chosen. RES_NO_MEMORY: no block, or its texts
// could not be converted (no block held then).
// A block made with a null block_out is held all the same.
VEXA_EXPORT std::int32_t vexa_get_bin_value(element_handle* element, std::uint32_t* io_out,
                                            void** block_out, std::int32_t* controller_out,
                                            std::int32_t* second_out);

// [any one thread at a time] Frees the held block; the host's pointer to it
// is then invalid. No block, null handle or empty slot: nothing.
VEXA_EXPORT void vexa_release_bin_data(element_handle* element);

// [any one thread at a time] After RES_CUSTOM_OPERATION: writes the follow-up
// into the host's operation record (run_records.h; host owns, read and written
// during the call only). It stays pending: a repeated call answers the same.
// A forwarded text is characters substr_from to substr_to of the received
// text, cut at its end (on Windows counted in UTF-16 units, a character beyond
// U+FFFF never cut in half); bounds out of order (substr_to below substr_from,
// only from loaded records) give an empty text and OPERATION_VALUE 0.
// RES_NO_MEMORY: the text could not be converted (code and value may be
// written, the text not).
// RES_OK: written. RES_UNSUPPORTED: null record, bytes 8/9 not 7/45, or
// nothing pending; nothing written. RES_INVALID: null handle, empty slot, or a
// timeout whose action is none of restart, stop, goto; nothing written.
VEXA_EXPORT std::int32_t vexa_get_custom_operation(element_handle* element, void* custom_operation);

// [GUI thread] Makes element the panel's current one. With show == 1 and a
// parent window: fills the panel from it (building the panel first if there is
// no panel object, or if the object has no controls and the window is empty),
// assigns element->colour, fills the goto list from element->project and calls
// the refresh callback once. Otherwise only the current element changes (not
// even that while no panel object exists). host_flags 0x4: controller choice
// disabled; other bits ignored. Null element: deselects; panel events change
// nothing until the next selection. Empty slot: nothing. An allocation failing
// inside the toolkit: the panel may be partly filled and ignores events until
// the next selection.
VEXA_EXPORT void vexa_select(element_handle* element, std::uint32_t host_flags, std::uint8_t show);

// [GUI thread] The property window goes away: deletes the panel object, which
// disconnects the controls (they stay the window's: the host destroys them),
// and forgets the capabilities (describe the controllers again before the next
// panel). Elements, controller entries and the edited template stay.
// Not from inside the refresh callback. Always RES_INVALID.
VEXA_EXPORT std::int32_t vexa_reset_gui();
}

// The 14 names, for hosts that resolve them at run time:
//   #define X(name) decltype(&::name) name = nullptr;
//   VEXA_ENTRY_POINTS(X)
#define VEXA_ENTRY_POINTS(X)                                                                       \
    X(vexa_create_instance)                                                                        \
    X(vexa_delete_instance)                                                                        \
    X(vexa_get_ui_parameters)                                                                      \
    X(vexa_set_refresh_callback)                                                                   \
    X(vexa_get_save_data)                                                                          \
    X(vexa_set_loaded_data)                                                                        \
    X(vexa_set_config_info)                                                                        \
    X(vexa_check_input_value)                                                                      \
    X(vexa_continuous_stream)                                                                      \
    X(vexa_get_bin_value)                                                                          \
    X(vexa_release_bin_data)                                                                       \
    X(vexa_get_custom_operation)                                                                   \
    X(vexa_select)                                                                                 \
    X(vexa_reset_gui)
