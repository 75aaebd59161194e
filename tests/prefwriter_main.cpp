// Child program of test_atomicwrite: rewrites both preference files in the
// current directory as fast as it can until it is killed. rex.dat counts up
// from the number given as the first argument; frmstart.dat alternates 0
// and 1. It says "go" on standard output once both files have been written.

#include <cstdio>
#include <cstdlib>

#include "prefs/preferences.h"

int main(int argc, char* argv[]) {
    long long value = argc > 1 ? std::atoll(argv[1]) : 0;
    for (bool announced = false;; ++value) {
        std::optional<prefs::WriteFailure> failure =
            prefs::writePreferenceFile(prefs::kResolutionFile, value);
        if (!failure) {
            failure = prefs::writePreferenceFile(prefs::kStartupFile, value % 2);
        }
        if (failure) {
            std::fprintf(stderr, "%s\n", failure->error.systemText.toLocal8Bit().constData());
            return 1;
        }
        if (!announced) {
            std::puts("go");
            std::fflush(stdout);
            announced = true;
        }
    }
}
