#include "common/ClientFixture.h"

#include "common/ClientDoubles.h"

namespace TestDoubles {

void ClientFixture::SetUp()
{
    const ClientDoubles d = ResetClientWithDoubles();
    socket = d.socket;
    hall = d.hall;
    soundDevice = d.soundDevice;
    peerLink = d.peerLink;
    camera = d.camera;
}

void ClientFixture::TearDown()
{
    ResetClientAfterUse();
}

}  // namespace TestDoubles
