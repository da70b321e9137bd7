// The C library's character locale, which the plug-in's run time decodes
// serial text with, switched for one test.
#pragma once

#include <clocale>

#include <gtest/gtest.h>

// Sets the character locale for its scope; "C" again after.
struct character_locale {
    explicit character_locale(const char* name) { ok = std::setlocale(LC_CTYPE, name) != nullptr; }
    ~character_locale() { std::setlocale(LC_CTYPE, "C"); }
    bool ok;
};

// UTF-8: "C.UTF-8", which glibc loads from its files (libc-bin's
// /usr/lib/locale/C.utf8) and a stripped root may lack. Windows' universal
// C runtime calls it ".UTF-8"; msvcrt, the C runtime of MinGW programs (and
// so of this plug-in's Windows build), has none. Tests that need it skip
// where it is missing (REQUIRE_UTF8_LOCALE).
struct utf8_locale : character_locale {
    utf8_locale() : character_locale("C.UTF-8") {
#if defined(_WIN32)
        if (!ok)
            ok = std::setlocale(LC_CTYPE, ".UTF-8") != nullptr;
#endif
    }
};

#if defined(_WIN32)
#define NO_UTF8_LOCALE_REASON "this C runtime has no UTF-8 locale (msvcrt has none)"
#else
#define NO_UTF8_LOCALE_REASON "no C.UTF-8 locale here (/usr/lib/locale/C.utf8)"
#endif
#define REQUIRE_UTF8_LOCALE(locale)                                                                \
    if (!(locale).ok)                                                                              \
    GTEST_SKIP() << NO_UTF8_LOCALE_REASON
