#pragma once

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <string>

// A pseudo-terminal whose far end the test holds: what the port writes arrives at `master`, and
// what the test writes to `master` arrives at the port.
struct PtyPair {
    int master = -1;
    int slave = -1;
    std::string slavePath;

    PtyPair() {
        char name[256] = {};
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&master, &slave, name, &raw, nullptr) == 0)
            slavePath = name;
    }
    ~PtyPair() {
        CloseMaster();
        if (slave >= 0)
            close(slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    void CloseMaster() {
        if (master >= 0)
            close(master);
        master = -1;
    }
};
