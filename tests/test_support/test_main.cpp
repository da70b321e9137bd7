// Starts the toolkit once per test process, with an assertion handler that
// fails the running test instead of opening a dialog.
#include <cstdio>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include "test_support/machine_facilities.h"

namespace {

void fail_on_assert(const wxString& file, int line, const wxString& func, const wxString& cond,
                    const wxString& msg) {
    ADD_FAILURE() << "toolkit assertion at " << file << ":" << line << " in " << func << ": "
                  << cond << " " << msg;
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // InitGoogleTest consumes --gtest_list_tests, so ask gtest: listing needs
    // no toolkit (and no display).
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    wxApp::SetInstance(new wxApp);
    // Every test here runs with the toolkit, and the toolkit needs a display.
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "skipped: the toolkit cannot start here: no display could be "
                             "opened (run under xvfb-run)\n");
        return MISSING_FACILITY_EXIT_CODE;
    }
    wxTheApp->CallOnInit();
    wxSetAssertHandler(fail_on_assert);
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
