#pragma once
// A fixture that puts the whole client back to its start-up state between cases and puts
// recording doubles in the place of the socket, the hall channel and the sound output.
#include <gtest/gtest.h>

#include "common/doubles/FakeHall.h"
#include "common/doubles/FakeSoundDevice.h"
#include "common/doubles/FakeVideo.h"
#include "common/doubles/FakeWinsock.h"
#include "common/doubles/PlatformDoubles.h"

namespace TestDoubles {

class ClientFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    FakeWinsock* socket = nullptr;
    FakeHall* hall = nullptr;
    FakeSoundDevice* soundDevice = nullptr;
    FakeP2PSocket* peerLink = nullptr;
    FakeVCap* camera = nullptr;
};

}  // namespace TestDoubles
