// What some tests need of the machine besides the code under test. Each probe
// tries the facility and answers "" when it works here, or in one line why
// not; the test then skips with that line (REQUIRE_FACILITY) rather than fail
// for the machine, or pass without having checked anything.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

// The exit code of a test program that cannot run here at all: CTest's
// SKIP_RETURN_CODE for the test programs and scripts.
constexpr int MISSING_FACILITY_EXIT_CODE = 77;

// At the start of a test: skips it when `probe` names a missing facility.
#define REQUIRE_FACILITY(probe)                                                                    \
    if (const std::string missing_facility = (probe); !missing_facility.empty())                   \
    GTEST_SKIP() << missing_facility

// /dev/full, whose every write fails for want of space (ENOSPC).
inline std::string full_device_missing() {
#ifdef _WIN32
    return "needs /dev/full, a Linux device";
#else
    const int fd = open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return std::string("/dev/full cannot be opened here: ") + std::strerror(errno);
    errno = 0;
    const bool written = write(fd, "x", 1) == 1;
    const int error = errno;
    close(fd);
    if (written || error != ENOSPC)
        return "/dev/full here does not refuse writes for want of space";
    return "";
#endif
}

// A limit on the size of the files this process writes, for its scope. A
// write past it fails (EFBIG): the signal that would end the process first
// (SIGXFSZ) is ignored meanwhile.
class file_size_limit {
public:
    explicit file_size_limit(unsigned long bytes) {
#ifndef _WIN32
        getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit limit{bytes, saved_.rlim_max};
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        error_ = setrlimit(RLIMIT_FSIZE, &limit) == 0 ? 0 : errno;
#else
        static_cast<void>(bytes);
#endif
    }
    ~file_size_limit() {
#ifndef _WIN32
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, old_handler_);
#endif
    }
    file_size_limit(const file_size_limit&) = delete;
    file_size_limit& operator=(const file_size_limit&) = delete;
    // 0 when the limit holds, or why the system refused it.
    int error() const {
        return error_;
    }

private:
#ifndef _WIN32
    rlimit saved_{};
    void (*old_handler_)(int) = SIG_DFL;
    int error_ = 0;
#else
    int error_ = ENOSYS; // Windows sets no such limit per process
#endif
};

// Whether a file_size_limit stops a write at the limit here.
inline std::string file_size_limit_missing() {
#ifdef _WIN32
    return "needs a limit on the file size, which Windows does not set per process";
#else
    std::string file = testing::TempDir() + "file_size_limit_XXXXXX";
    const int fd = mkstemp(file.data());
    if (fd < 0)
        return "no file for the file size probe: " + file + ": " + std::strerror(errno);
    std::string why;
    {
        const file_size_limit limit(100);
        const char bytes[200] = {};
        if (limit.error() != 0) {
            why = std::string("the file size limit cannot be set here: ") +
                  std::strerror(limit.error());
        } else {
            const ssize_t up_to_the_limit = write(fd, bytes, sizeof bytes);
            errno = 0;
            const ssize_t past = write(fd, bytes, 1);
            if (up_to_the_limit != 100 || past != -1 || errno != EFBIG)
                why = "a file size limit of 100 bytes does not stop writes here";
        }
    }
    close(fd);
    std::remove(file.c_str());
    return why;
#endif
}

// 0 when a file can be made at `path` (the probe removes it again), or the
// errno of the refusal. A file already there is left alone: EEXIST.
inline int creation_refusal(const std::string& path) {
    if (std::FILE* existing = std::fopen(path.c_str(), "rb")) {
        std::fclose(existing);
        return EEXIST;
    }
    std::FILE* made = std::fopen(path.c_str(), "wb");
    if (made == nullptr)
        return errno;
    std::fclose(made);
    std::remove(path.c_str());
    return 0;
}
