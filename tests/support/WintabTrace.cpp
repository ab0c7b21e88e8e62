#include "WintabTrace.h"

#include <cstdlib>
#include <cstring>
#include <deque>

namespace {
// The number after `name` in the line, in the given base; 0 without one.
unsigned long Field(const std::string& line, const char* name, int base) {
  const size_t at = line.find(name);
  return at == std::string::npos ? 0 : std::strtoul(line.c_str() + at + std::strlen(name), nullptr, base);
}

bool Has(const std::string& line, const char* text) { return line.find(text) != std::string::npos; }
}  // namespace

int WintabTrace::Count(TraceEvent::Kind kind) const {
  int count = 0;
  for (const TraceEvent& event : events) count += event.kind == kind;
  return count;
}

WintabTrace ParseWintabTrace(const std::string& text) {
  WintabTrace trace;
  std::deque<TracedPacket> queue;
  TracedPacket dumped = {}, last = {};
  bool proximityMessage = false;
  auto remove = [&](size_t count, bool readLast, size_t offset) {
    for (size_t i = 0; i < count && !queue.empty(); ++i) {
      const bool read = readLast && i + 1 == count;
      trace.events.push_back({read ? TraceEvent::kRead : TraceEvent::kRemovedUnread, queue.front(), offset});
      queue.pop_front();
    }
  };
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!Has(line, ":trace:wintab32:")) continue;
    if (Has(line, "TABLET_WindowProc Incoming Message 0x")) {
      proximityMessage = Field(line, "Incoming Message 0x", 16) == 0x7FF5;
    } else if (Has(line, ":DUMPPACKET ")) {
      dumped.status = Field(line, "pkStatus: 0x", 16);
      dumped.time = Field(line, "pkTime : 0x", 16);
      dumped.changed = Field(line, "pkChanged: 0x", 16);
      dumped.serial = Field(line, "pkSerialNumber: 0x", 16);
      dumped.cursor = Field(line, "pkCursor : ", 10);
      dumped.buttons = Field(line, "pkButtons: ", 16);
      dumped.x = Field(line, "pkX: ", 10);
      dumped.y = Field(line, "pkY: ", 10);
      dumped.pressure = Field(line, "pkNormalPressure: ", 10);
      dumped.proximity = proximityMessage;
    } else if (Has(line, ":AddPacketToContextQueue Placed in queue")) {
      dumped.companion = trace.queued && !dumped.proximity && dumped.time == last.time && dumped.x == last.x &&
                         dumped.y == last.y && dumped.pressure == last.pressure && dumped.buttons != last.buttons;
      queue.push_back(dumped);
      last = dumped;
      ++trace.queued;
    } else if (Has(line, ":AddPacketToContextQueue Queue Overflow")) {
      trace.events.push_back({TraceEvent::kLost, dumped, end});
    } else if (Has(line, ":WTPacket Returning ")) {
      remove(Field(line, ":WTPacket Returning ", 10), true, end);
    } else if (Has(line, ":WTPacketsGet Copied ")) {
      remove(Field(line, ":WTPacketsGet Copied ", 10), false, end);
    } else if (Has(line, ":DUMPCONTEXT InExtX: ")) {
      trace.inExtX = static_cast<long>(Field(line, "InExtX: ", 10));
      trace.inExtY = static_cast<long>(Field(line, "InExtY: ", 10));
    }
  }
  return trace;
}
