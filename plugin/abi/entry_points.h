// The plug-in's 14 exported entry points: the whole boundary with the host.
// The host calls them one at a time; calls that build, fill or tear down the
// panel run on the GUI thread. Nothing is thrown across the boundary.
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

// Creates the element's record in element->instance_data; builds the panel
// when element->parent_window is present and empty. creation_record may be null.
VEXA_EXPORT std::int32_t vexa_create_instance(element_handle* element, const void* creation_record);
// Frees the element's record. A held result-data block is not freed.
VEXA_EXPORT std::int32_t vexa_delete_instance(element_handle* element);
// Fills name, description, two new icons (pass to the host) and three numbers.
VEXA_EXPORT std::int32_t vexa_get_ui_parameters(ui_parameters* parameters);
VEXA_EXPORT void vexa_set_refresh_callback(element_handle* element, refresh_callback callback);

// Returns the plug-in's save buffer (valid until the next save or load of any
// element; the host copies it, never frees it) and stores its length.
VEXA_EXPORT char* vexa_get_save_data(element_handle* element, std::uint32_t* length);
VEXA_EXPORT std::int32_t vexa_set_loaded_data(element_handle* element, std::uint32_t length,
                                              const char* data);

// Copies one controller description (host owns the argument).
VEXA_EXPORT void vexa_set_config_info(const void* controller_config);

VEXA_EXPORT std::int32_t vexa_check_input_value(element_handle* element, const void* input_record,
                                                std::int32_t controller);
VEXA_EXPORT bool vexa_continuous_stream(element_handle* element, std::int32_t* controller_out,
                                        std::int32_t* second_out);
// The block stays the element's until vexa_release_bin_data.
VEXA_EXPORT std::int32_t vexa_get_bin_value(element_handle* element, std::uint32_t* io_out,
                                            void** block_out, std::int32_t* controller_out,
                                            std::int32_t* second_out);
VEXA_EXPORT void vexa_release_bin_data(element_handle* element);
VEXA_EXPORT std::int32_t vexa_get_custom_operation(element_handle* element, void* custom_operation);

// GUI thread. A null element deselects.
VEXA_EXPORT void vexa_select(element_handle* element, std::uint32_t host_flags, std::uint8_t show);
// GUI thread. Always answers RES_INVALID.
VEXA_EXPORT std::int32_t vexa_reset_gui();
}

// Names of the entry points, for hosts that resolve them at run time.
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
