#pragma once

#include <string>

#include "tests/support/Portable.h"

// A pseudo-terminal whose far end the test holds: what the port writes arrives at `master`, and
// what the test writes to `master` arrives at the port. Both stay -1 where there are no ptys.
struct PtyPair {
    int master = -1;
    int slave = -1;
    std::string slavePath;

    PtyPair() { portable::OpenPty(master, slave, slavePath); }
    ~PtyPair() {
        CloseMaster();
        portable::Close(slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    void CloseMaster() {
        portable::Close(master);
        master = -1;
    }
};
