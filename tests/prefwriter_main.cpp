// Child program of test_atomicwrite: rewrites both preference files in the
// current directory as fast as it can until it is killed. rex.dat counts up
// from the number given as the first argument; frmstart.dat alternates 0
// and 1. It says "go" on standard output once both files have been written.

#include <cstdio>
#include <cstdlib>

#include "startup/preferences.h"
#include "toolkit/messagebox.h"

int main(int argc, char* argv[]) {
    long long value = argc > 1 ? std::atoll(argv[1]) : 0;
    try {
        for (bool announced = false;; ++value) {
            startup::writePreferenceFile(startup::kResolutionFile, value);
            startup::writePreferenceFile(startup::kStartupFile, value % 2);
            if (!announced) {
                std::puts("go");
                std::fflush(stdout);
                announced = true;
            }
        }
    } catch (const toolkit::Error& error) {
        std::fprintf(stderr, "%s\n", error.message().toLocal8Bit().constData());
        return 1;
    }
}
