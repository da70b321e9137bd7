// Allocations failing inside the entry points (the toolkit's, the C++
// library's): every call answers as its comment says, and no exception
// reaches the host. Each case fails the first, second, ... allocation of the
// call until one run succeeds. The program's operator new serves the loaded
// plug-in too on ELF systems; a Windows DLL keeps its own, so not there.
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include "abi/ui_parameters.h"
#include "test_support/run_element.h"

// A DLL's allocations do not reach the program's operator new.
#if defined(_WIN32)
#define SKIP_WHERE_THE_PLUGIN_KEEPS_ITS_OWN_ALLOCATOR()                                            \
    GTEST_SKIP() << "a DLL's allocations do not reach the program's operator new"
#else
#define SKIP_WHERE_THE_PLUGIN_KEEPS_ITS_OWN_ALLOCATOR()
#endif

namespace {

// The allocation that fails: -1 none, 0 the next one, 1 the one after, ...
long failing_allocation = -1;

} // namespace

namespace {

void* allocate(std::size_t size) {
    if (failing_allocation >= 0 && failing_allocation-- == 0)
        throw std::bad_alloc();
    if (void* block = std::malloc(size != 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}

void* allocate(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

// Every form, so no block is made by one allocator and freed by another (the
// sanitizer build's runtime brings its own).
void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t& tag) noexcept {
    return allocate(size, tag);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return allocate(size, tag);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

// The toolkit leaks what it had made when one of its own allocations fails
// (a converted text, an image, a cairo surface): its code, not the plug-in's,
// and only in this program, which makes its allocations fail on purpose.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() {
    return "leak:wxMBConv::cMB2WC\n"
           "leak:wxImage::Create\n"
           "leak:wxXPMDecoder::ReadData\n"
           "leak:wxBitmap::InitFromImage\n"
           "leak:libcairo.so\n"
           "leak:libpixman-1.so\n";
}
#endif

namespace {

// Runs `call` with its n-th allocation failing, n = 0, 1, ..., until it makes
// fewer allocations than that and so runs whole, answering `done`. With a
// failed allocation it answers `refused` (or `done`, where the toolkit itself
// recovered). An exception out of the call ends the test as a failure.
template <typename Call>
void sweep(Call call, std::int32_t done, std::int32_t refused, int most = 5000) {
    plugin(); // loaded before anything fails
    for (int n = 0; n < most; ++n) {
        failing_allocation = n;
        const std::int32_t result = call();
        const bool failed_one = failing_allocation < 0;
        failing_allocation = -1;
        if (!failed_one) { // the call made fewer allocations: it ran whole
            EXPECT_EQ(result, done);
            return;
        }
        ASSERT_TRUE(result == refused || result == done) << "allocation " << n << ": " << result;
    }
    FAIL() << "no success within " << most << " allocations";
}

} // namespace

TEST(AllocationFailure, UiParametersWriteNothingWithoutBothIcons) {
    SKIP_WHERE_THE_PLUGIN_KEEPS_ITS_OWN_ALLOCATOR();
    sweep(
        [] {
            ui_parameters p{};
            const std::int32_t result = plugin().vexa_get_ui_parameters(&p);
            if (result != RES_OK) {
                EXPECT_EQ(p.large_icon, nullptr);
                EXPECT_EQ(p.small_icon, nullptr);
                EXPECT_TRUE(p.name.empty());
            }
            delete p.large_icon;
            delete p.small_icon;
            return result;
        },
        RES_OK, RES_NO_MEMORY);
}

TEST(AllocationFailure, RunTimeCallsAnswerNoMemory) {
    SKIP_WHERE_THE_PLUGIN_KEEPS_ITS_OWN_ALLOCATOR();
    // A serial match with forwarding and the wait message: the calls of a run
    // that convert texts and send events.
    run_element e(INPUT_SERIAL_1, FLAG_SERIAL1_FULL | FLAG_FORWARD_IN2 | FLAG_SHOW_MESSAGE);
    e.set_text(1, "START THE NEXT PART[CR]"); // longer than a string keeps inline
    // The host's records, made before anything fails.
    const input_record other = input_record().serial(1, "NOT YET, STILL WAITING\r");
    const input_record match = input_record().serial(1, "START THE NEXT PART\r");
    sweep([&] { return e.check(other); }, RES_WAIT, RES_NO_MEMORY);
    sweep([&] { return e.check(match); }, RES_CUSTOM_OPERATION, RES_NO_MEMORY);
    operation_record op(256);
    sweep([&] { return e.operation(op); }, RES_OK, RES_NO_MEMORY);
    EXPECT_EQ(op.text(), "START THE NEXT PART\r");
    sweep(
        [&] {
            std::uint32_t io = 0;
            void* block = nullptr;
            const std::int32_t result =
                plugin().vexa_get_bin_value(e.handle(), &io, &block, nullptr, nullptr);
            if (result == RES_OK)
                plugin().vexa_release_bin_data(e.handle());
            else
                EXPECT_EQ(e.record().bin_data, nullptr) << "a failed block is not held";
            return result;
        },
        RES_OK, RES_NO_MEMORY);
}

// Only the plug-in's own first allocations: once the toolkit builds
// controls, a failing allocation can end the process inside the toolkit (a
// text's buffer written back in a destructor), which no caller can prevent.
TEST(AllocationFailure, CreatingWithoutARecordOrAPanelObjectAnswersNoMemoryAndBuildsNothing) {
    SKIP_WHERE_THE_PLUGIN_KEEPS_ITS_OWN_ALLOCATOR();
    auto* frame = new wxFrame(nullptr, wxID_ANY, "property window");
    auto* window = new wxPanel(frame);
    plugin().vexa_reset_gui();
    for (long failing : {0L, 1L}) { // the element's record, then the panel object
        host_element element;
        element->parent_window = window;
        failing_allocation = failing;
        EXPECT_EQ(plugin().vexa_create_instance(element.handle(), nullptr), RES_NO_MEMORY);
        failing_allocation = -1;
        EXPECT_EQ(element->instance_data != nullptr, failing == 1) << failing;
        EXPECT_TRUE(window->GetChildren().empty()) << failing;
        EXPECT_EQ(plugin().vexa_delete_instance(element.handle()), RES_OK);
    }
    host_element element;
    element->parent_window = window;
    EXPECT_EQ(plugin().vexa_create_instance(element.handle(), nullptr), RES_OK);
    EXPECT_FALSE(window->GetChildren().empty());
    plugin().vexa_delete_instance(element.handle());
    plugin().vexa_reset_gui();
    frame->Destroy();
}
