// What the fuzz targets share: the toolkit's base started once, elements
// created through the plug-in's entry points (linked in directly), and checks
// that end the run with a finding. No display is needed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "abi/entry_points.h"
#include "host_kit/host_records.h"

// A failed check is a finding: libFuzzer saves the input that caused it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "check failed at %s:%d: %s\n", __FILE__, __LINE__, #condition);   \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Starts wxWidgets' base library once per process (string conversions, event
// handlers); no window is ever made.
void start_toolkit_base();

// How every run-time input starts: the toolkit's base, the virtual clock at
// `now`, and texts decoded by an 8-bit or a UTF-8 locale, as the input chooses.
void start_run_time_input(FuzzedDataProvider& in, std::int64_t now);

// An element created with vexa_create_instance and deleted on scope exit;
// a result-data block still held is released first, as a host must.
struct fuzz_element {
    host_element element;
    fuzz_element();
    ~fuzz_element();
    fuzz_element(const fuzz_element&) = delete;
    fuzz_element& operator=(const fuzz_element&) = delete;
    element_handle* handle() { return element.handle(); }
};

// The save record the element gives now (empty when the save was refused).
std::vector<std::uint8_t> saved_record(element_handle* element);

// True for the codes the boundary may answer.
bool is_result_code(std::int32_t code);
