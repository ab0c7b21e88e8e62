// The driver double's own behaviour where programs rely on it: queue limits,
// serial numbers, removal by WTPacket and WTPacketsGet, the packet layout
// selected by lcPktData, and the information categories.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/tablet/wintab_test_support.h"

namespace {

const UINT TPS_QUEUE_ERR = 0x0002;
const DWORD PK_X = 0x0080, PK_Y = 0x0100, PK_NORMAL_PRESSURE = 0x0400;

class WintabDouble : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(wintabDoubleBound);
    ASSERT_STREQ(wintabDouble.Variant(), "full");
    wintabDouble.Reset();
    window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    if (context) wintabProcs.WTClose(context);
    DestroyWindow(window);
  }

  // A context without messages: packets are only queued.
  void OpenQuiet(DWORD packetData) {
    LOGCONTEXTA description = {};
    ASSERT_EQ(wintabProcs.WTInfoA(WTI_DEFSYSCTX, 0, &description), sizeof description);
    description.lcOptions &= ~CXO_MESSAGES;
    description.lcPktData = packetData;
    context = wintabProcs.WTOpenA(window, &description, TRUE);
    ASSERT_NE(context, nullptr);
  }

  UINT Queue(DWORD x, UINT status = 0) {
    WintabDoublePacket packet = WintabDoublePacketAt(x, x + 1, x + 2, 3, 4);
    packet.status = status;
    return wintabDouble.QueuePacket(context, &packet);
  }

  HWND window = nullptr;
  HCTX context = nullptr;
};

TEST_F(WintabDouble, QueueWithSerialNumbersAndRemoval) {
  OpenQuiet(PK_ALL_STANDARD);
  EXPECT_EQ(wintabDouble.QueueLimit(context), 8) << "the usual default";
  ASSERT_TRUE(wintabProcs.WTQueueSizeSet(context, 3));
  const UINT s1 = Queue(10), s2 = Queue(20), s3 = Queue(30);
  EXPECT_TRUE(s1 && s2 == s1 + 1 && s3 == s2 + 1);
  EXPECT_EQ(Queue(40), 0u) << "a full queue loses the newest packet";
  EXPECT_EQ(wintabDouble.QueueCount(context), 3);

  WintabPacket packet = {};
  ASSERT_TRUE(wintabProcs.WTPacket(context, s2, &packet));
  EXPECT_EQ(packet.pkContext, context);
  EXPECT_EQ(packet.pkSerialNumber, s2);
  EXPECT_EQ(packet.pkX, 20u);
  EXPECT_EQ(packet.pkY, 21u);
  EXPECT_EQ(packet.pkNormalPressure, 22u);
  EXPECT_EQ(packet.pkCursor, 3u);
  EXPECT_EQ(packet.pkButtons, 4u);
  EXPECT_EQ(packet.pkChanged, PK_ALL_STANDARD);
  EXPECT_EQ(wintabDouble.QueueCount(context), 1) << "it and every older packet are gone";
  EXPECT_FALSE(wintabProcs.WTPacket(context, s1, &packet));
  EXPECT_EQ(wintabDouble.QueueCount(context), 1);

  const UINT s5 = Queue(50);
  EXPECT_EQ(wintabProcs.WTPacketsGet(context, 1, nullptr), 1) << "the oldest, unread";
  EXPECT_FALSE(wintabProcs.WTPacket(context, s3, nullptr));
  ASSERT_TRUE(wintabProcs.WTPacket(context, s5, &packet));
  EXPECT_EQ(packet.pkStatus & TPS_QUEUE_ERR, TPS_QUEUE_ERR) << "the first packet after a loss says so";
  EXPECT_EQ(wintabProcs.WTPacketsGet(context, 1, nullptr), 0);

  Queue(60);
  Queue(70);
  WintabPacket two[3] = {};
  EXPECT_EQ(wintabProcs.WTPacketsGet(context, 3, two), 2);
  EXPECT_EQ(two[0].pkX, 60u);
  EXPECT_EQ(two[1].pkX, 70u);
  EXPECT_EQ(two[1].pkContext, context);
  EXPECT_EQ(two[0].pkStatus & TPS_QUEUE_ERR, 0u);

  EXPECT_FALSE(wintabProcs.WTQueueSizeSet(context, 0));
  EXPECT_FALSE(wintabProcs.WTQueueSizeSet(context, 100000));
}

TEST_F(WintabDouble, PacketHoldsOnlyTheSelectedFields) {
  OpenQuiet(PK_X | PK_Y | PK_NORMAL_PRESSURE);
  const UINT serial = Queue(0x11223344);
  unsigned char record[16];
  std::memset(record, 0xAB, sizeof record);
  ASSERT_TRUE(wintabProcs.WTPacket(context, serial, record));
  DWORD fields[3];
  std::memcpy(fields, record, sizeof fields);
  EXPECT_EQ(fields[0], 0x11223344u);
  EXPECT_EQ(fields[1], 0x11223345u);
  EXPECT_EQ(fields[2], 0x11223346u);
  EXPECT_EQ(record[12], 0xAB);
}

TEST_F(WintabDouble, DisabledOrClosedContextsTakeNoPackets) {
  OpenQuiet(PK_ALL_STANDARD);
  ASSERT_TRUE(wintabProcs.WTEnable(context, FALSE));
  EXPECT_EQ(Queue(1), 0u);
  ASSERT_TRUE(wintabProcs.WTEnable(context, TRUE));
  const UINT serial = Queue(1);
  EXPECT_NE(serial, 0u);
  EXPECT_NE(wintabDouble.ControlWindow(), nullptr);
  ASSERT_TRUE(wintabProcs.WTClose(context));
  EXPECT_EQ(wintabDouble.ControlWindow(), nullptr) << "gone with the last context";
  EXPECT_FALSE(wintabProcs.WTClose(context));
  EXPECT_FALSE(wintabProcs.WTPacket(context, serial, nullptr));
  EXPECT_EQ(Queue(2), 0u);
  context = nullptr;
}

TEST_F(WintabDouble, InformationCategories) {
  EXPECT_NE(wintabProcs.WTInfoA(0, 0, nullptr), 0u);
  EXPECT_EQ(wintabProcs.WTInfoA(WTI_DEFSYSCTX, 0, nullptr), sizeof(LOGCONTEXTA));
  EXPECT_EQ(wintabProcs.WTInfoA(WTI_DEVICES, DVC_NPRESSURE, nullptr), sizeof(AXIS));
  LOGCONTEXTA description = {};
  wintabProcs.WTInfoA(WTI_DEFSYSCTX, 0, &description);
  EXPECT_STREQ(description.lcName, "Test Double System Context");
  EXPECT_EQ(description.lcOptions & CXO_SYSTEM, CXO_SYSTEM);
  EXPECT_EQ(description.lcInExtX, 40000);
  EXPECT_EQ(description.lcInExtY, 25000);
  EXPECT_EQ(description.lcBtnDnMask, 0x0000FFFFu);
  EXPECT_EQ(description.lcSysExtX, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  AXIS axis = {};
  EXPECT_EQ(wintabProcs.WTInfoA(WTI_DEVICES, DVC_NPRESSURE, &axis), sizeof axis);
  EXPECT_EQ(axis.axMax, 1023);

  WintabDoubleDevice device;
  wintabDouble.GetDevice(&device);
  device.hasPressureAxis = FALSE;
  wintabDouble.SetDevice(&device);
  AXIS untouched = {-1, -2, 3, 4};
  EXPECT_EQ(wintabProcs.WTInfoA(WTI_DEVICES, DVC_NPRESSURE, &untouched), 0u);
  EXPECT_EQ(untouched.axMax, -2);
}

}  // namespace
