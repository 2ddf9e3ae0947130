#pragma once

// The program's fixed waits, all declared here: the pauses a box needs after a command, the poll's
// pace, the window's tick, and how long a procedure waits for the adapter another one holds. The
// program runs them as declared; a test may run them faster (setTestDivisors), never the program.

#include <chrono>

namespace platform::intervals {

using std::chrono::milliseconds;

// Pauses: time given to a box, or the pace of a repeated task.
inline constexpr milliseconds kPollPause{100}; // between two cycles of the poll
inline constexpr milliseconds kSenseSettle{10}; // between the adapter's two data reads while sensing
inline constexpr milliseconds kBootSettle{500}; // after the box is sent to its bootloader, the link is switched, the application started
inline constexpr milliseconds kActivationSettle{20}; // after a programmed configuration is activated
inline constexpr milliseconds kEraseStep{100}; // between the three erase commands
inline constexpr milliseconds kGuiTick{500}; // the window's status tick

// Timeouts: how long one side waits for the adapter the other holds before it gives up.
inline constexpr milliseconds kAdapterWait{1000}; // a procedure of the window
inline constexpr milliseconds kPollAdapterWait{100}; // the poll, between two looks at its state
inline constexpr milliseconds kClosingAdapterWait{2000}; // the closing window, to stop the poll
inline constexpr milliseconds kClosingPollEnd{1000}; // the closing window, for the poll to end

// The interval as it is run: the declared one, unless a test divided it.
milliseconds pause(milliseconds declared);
milliseconds timeout(milliseconds declared);

// Tests only: pauses run `pauseDivisor` times, timeouts `timeoutDivisor` times faster (1: as declared).
void setTestDivisors(int pauseDivisor, int timeoutDivisor);

} // namespace platform::intervals
