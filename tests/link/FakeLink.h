#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "link/SerialLink.h"

// A line whose answers the test queues and whose output it reads back.
class FakeLink : public ctrl::SerialLink {
public:
    bool open = false;
    bool openFails = false;
    int opens = 0;   // opens that actually opened a closed line
    int closes = 0;  // closes of an open line
    std::vector<std::uint8_t> sent;
    std::deque<std::uint8_t> incoming;

    bool OpenConfigured() override {
        if (open)
            return true;
        if (openFails)
            return false;
        open = true;
        ++opens;
        return true;
    }
    bool Close() override {
        if (open)
            ++closes;
        open = false;
        return true;
    }
    int Send(const std::uint8_t* bytes, int count) override {
        if (!open)
            return 0;
        sent.insert(sent.end(), bytes, bytes + count);
        return count;
    }
    int QueuedBytes() override { return open ? static_cast<int>(incoming.size()) : 0; }
    int Receive(std::uint8_t* buffer, int limit) override {
        int n = 0;
        while (open && n < limit && !incoming.empty()) {
            buffer[n++] = incoming.front();
            incoming.pop_front();
        }
        return n;
    }

    std::vector<std::uint8_t> TakeSent() {
        std::vector<std::uint8_t> out;
        out.swap(sent);
        return out;
    }
};
