// What Wine's own wintab32 did for a program, read from its debug trace
// (WINEDEBUG=+wintab32): every packet it queued, and which of them the
// program read, which left the queue unread and which were lost to a full
// queue. Portable C++.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct TracedPacket {
  unsigned serial, time, status, changed, cursor, buttons, x, y, pressure;
  bool proximity;  // queued for a proximity change: WT_PROXIMITY, no WT_PACKET
  // A button's change at the same time, place and pressure as the packet
  // queued before it (Wine pairs each touch-down and lift so).
  bool companion;
};

struct TraceEvent {
  enum Kind { kRead, kRemovedUnread, kLost };
  Kind kind;
  TracedPacket packet;
  size_t offset;  // where in the trace it happened (the end of its line)
};

struct WintabTrace {
  std::vector<TraceEvent> events;  // in the order they happened
  int queued = 0;
  long inExtX = 0, inExtY = 0;     // of the context the program opened
  int Count(TraceEvent::Kind kind) const;
};

// Follows the queue through the trace: "Placed in queue" appends the packet
// dumped before it; WTPacket returning k reads the k-th queued packet and
// removes the older ones unread; WTPacketsGet copying k removes the oldest k.
WintabTrace ParseWintabTrace(const std::string& text);
