#pragma once

namespace threadpriority {

// Lets the calling thread yield the processor to the other threads of its process, such as a
// window's thread that must answer keys while worker threads are runnable. `steps` is added to the
// thread's niceness (clamped to the lowest priority). Returns whether the system took it; false
// where threads have no priority of their own.
bool LowerThisThread(int steps);

// The calling thread's niceness (0 where unsupported).
int ThisThreadNiceness();

}  // namespace threadpriority
