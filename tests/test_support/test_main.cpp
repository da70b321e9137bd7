// Starts the toolkit once per test process, with an assertion handler that
// fails the running test instead of opening a dialog.
#include <cstdio>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

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
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start the toolkit: is a display available (xvfb-run)?\n");
        return 2;
    }
    wxTheApp->CallOnInit();
    wxSetAssertHandler(fail_on_assert);
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
