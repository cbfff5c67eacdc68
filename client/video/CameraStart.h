#pragma once
// The own camera (vcap1) over the own portrait: started when the table window is laid out or
// the user sits down, stopped when the table is left (a new seat starts it again).

namespace CameraStart {

// Opens the camera over the own portrait; without one the portrait stays and a line says so.
void StartCamera();
// The capture stops, the device closes and the own picture, its bar and its zoom window go.
void StopCamera();

}  // namespace CameraStart
