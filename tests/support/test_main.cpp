// Starts the toolkit once per test process, with an assertion handler that
// fails the running test instead of opening a dialog.
#include <cstring>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

namespace {

void fail_on_assert(const wxString& file, int line, const wxString& func, const wxString& cond,
                    const wxString& msg) {
    ADD_FAILURE() << "toolkit assertion at " << file << ":" << line << " in " << func << ": "
                  << cond << " " << msg;
}

bool listing_only(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (listing_only(argc, argv))
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
