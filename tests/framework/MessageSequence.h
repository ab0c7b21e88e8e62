// Message orders as tables. A test records the messages a window procedure
// gets, writes the order it expects as a static const table of
// ExpectedMessage, names the messages it leaves aside (a recorder sees hit
// tests, cursor shapes and the like besides the ones a test is about), and
// compares the two with OkSequence, which names the first message that
// differs. A message that is neither in the table nor set aside fails.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace testwin {

struct Message {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// What else an expected message asks for besides its number.
enum MessageFlags {
  kWParam = 1,    // wParam as given
  kLParam = 2,    // lParam as given
  kParams = 3,    // both
  kOptional = 4,  // may be missing (what one system sends and another not)
};

struct ExpectedMessage {
  UINT msg;
  int flags = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

inline std::string MessageName(UINT msg) {
  switch (msg) {
    case WM_CREATE: return "WM_CREATE";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_GETICON: return "WM_GETICON";
    case WM_SETICON: return "WM_SETICON";
    case WM_NCCREATE: return "WM_NCCREATE";
    case WM_NCDESTROY: return "WM_NCDESTROY";
    case WM_NCCALCSIZE: return "WM_NCCALCSIZE";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_RBUTTONDBLCLK: return "WM_RBUTTONDBLCLK";
    case WM_MBUTTONDOWN: return "WM_MBUTTONDOWN";
    case WM_MBUTTONUP: return "WM_MBUTTONUP";
    case WM_MBUTTONDBLCLK: return "WM_MBUTTONDBLCLK";
  }
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%04x", msg);
  return hex;
}

inline std::string Describe(const Message& m) {
  char params[64];
  std::snprintf(params, sizeof params, " (%#llx, %#llx)", static_cast<unsigned long long>(m.wParam),
                static_cast<unsigned long long>(m.lParam));
  return MessageName(m.msg) + params;
}

inline bool Matches(const Message& seen, const ExpectedMessage& wanted) {
  return seen.msg == wanted.msg && (!(wanted.flags & kWParam) || seen.wParam == wanted.wParam) &&
         (!(wanted.flags & kLParam) || seen.lParam == wanted.lParam);
}

// What real mouse input on an active window brings along with each button
// message: a hit test and a cursor shape, and after a right button's release
// the context menu request that the default procedure sends.
inline const std::vector<UINT> kMouseTraffic = {WM_NCHITTEST, WM_SETCURSOR, WM_CONTEXTMENU};

// How many messages of the log are `msg`.
inline size_t Count(const std::vector<Message>& log, UINT msg) {
  return std::count_if(log.begin(), log.end(), [msg](const Message& m) { return m.msg == msg; });
}

// Succeeds when the log, without the messages of `ignored`, holds the
// table's messages and nothing else, in the table's order, an optional message
// being passed over when the log does not have it there.
template <size_t N>
::testing::AssertionResult OkSequence(const std::vector<Message>& all, const ExpectedMessage (&table)[N],
                                      const std::vector<UINT>& ignored) {
  std::vector<Message> log;
  for (const Message& m : all) {
    if (std::find(ignored.begin(), ignored.end(), m.msg) == ignored.end()) log.push_back(m);
  }
  size_t at = 0;
  for (size_t k = 0; k < N; ++k) {
    const ExpectedMessage& wanted = table[k];
    if (at < log.size() && Matches(log[at], wanted)) {
      ++at;
    } else if (!(wanted.flags & kOptional)) {
      const Message expected = {wanted.msg, wanted.wParam, wanted.lParam};
      return ::testing::AssertionFailure()
             << "message " << at << ": expected "
             << (wanted.flags & kParams ? Describe(expected) : MessageName(wanted.msg)) << ", got "
             << (at < log.size() ? Describe(log[at]) : std::string("the end of the log"));
    }
  }
  if (at < log.size()) {
    return ::testing::AssertionFailure() << "message " << at << ": " << Describe(log[at])
                                         << " after the end of the table";
  }
  return ::testing::AssertionSuccess();
}

}  // namespace testwin
