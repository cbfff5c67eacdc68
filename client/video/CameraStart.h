#pragma once
// Starting the own camera (vcap1) over the own portrait, when the user sits down or the layout
// asks for it.

namespace CameraStart {

// Opens the camera over the own portrait; without one the portrait stays and a line says so.
void StartCamera();

}  // namespace CameraStart
