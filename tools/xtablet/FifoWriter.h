// The real-stack player's second half: writes evdev frames (PenEvents.h) into
// the tablet stack's FIFO at their times. On Windows (a test program under
// Wine) the FIFO's Linux path is opened through Wine's Z: drive; natively
// with open(2). Pacing sleeps until shortly before a frame is due and spins
// for the rest, so that 1000 frames a second keep their spacing.
#pragma once
#include <string>
#include <vector>

#include "tools/xtablet/PenEvents.h"

class FifoWriter {
 public:
  FifoWriter() = default;
  FifoWriter(const FifoWriter&) = delete;
  FifoWriter& operator=(const FifoWriter&) = delete;
  ~FifoWriter() { Close(); }

  // `path`: the FIFO's Linux path (as the stack's `fifo` file says).
  bool Open(const std::string& path, std::string* error);
  void Close();
  // One frame in one write, so that the driver reads it whole.
  bool Write(const PenFrame& frame);

  struct Stats {
    int framesWritten;
    double worstLateSeconds;  // the latest a frame was written after its time
    std::vector<double> writtenAt;  // when each frame's write began, seconds on a steady clock
  };
  // Writes every frame at its time counted from the call; marks go to
  // `onMouse` (step index, context), which may be null. False when a write
  // fails; `stats` may be null.
  bool Play(const std::vector<PenFrame>& frames, void (*onMouse)(int step, void* context), void* context,
            Stats* stats);

 private:
#ifdef _WIN32
  void* handle = nullptr;
#else
  int fd = -1;
#endif
};

// The Windows name of a Linux path under Wine: "/tmp/a" is "Z:\tmp\a".
std::string WinePathOf(const std::string& linuxPath);
