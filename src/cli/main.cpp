// velomast-cli: the editor's model files without the editor (see commands.h).
#include "commands.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A large model lives in hundreds of thousands of small allocations, and on this kind of
// system each 4 KB page the heap touches costs a page fault: at a million wires those
// faults take a third of the time. glibc puts its heap in huge pages when asked by a
// tunable it reads only at start, so for a large input file the program starts itself
// once more with that tunable set (a few milliseconds against a few hundred). Nothing
// else changes; should the restart fail, the program simply goes on as it is.
void UseHugePageHeapForLargeInput(int argc, char** argv) {
    constexpr off_t kLargeInput = off_t{2} << 20;
    constexpr const char* kTunable = "glibc.malloc.hugetlb=1";
    if (argc < 3) return;
    struct stat st {};
    if (::stat(argv[2], &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < kLargeInput) return;
    const char* old = std::getenv("GLIBC_TUNABLES");
    // Set already, by the user or by the first start: never restart twice.
    if (old && std::strstr(old, "glibc.malloc.hugetlb")) return;
    const std::string value = old && *old ? std::string(old) + ":" + kTunable : std::string(kTunable);
    if (::setenv("GLIBC_TUNABLES", value.c_str(), 1) != 0) return;
    ::execv("/proc/self/exe", argv);
}

} // namespace

int main(int argc, char** argv) {
    UseHugePageHeapForLargeInput(argc, argv);
    std::ios::sync_with_stdio(false);
    velomast::cli::SkipTeardown = true;
    const std::vector<std::string> args(argv, argv + argc);
    const int code = velomast::cli::RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
