#pragma once
// Loading a picture of the embedded set into a picture control, drawn for the device pixel
// ratio of the screen the control is on.
#include <QString>

class PictureBox;

// When the picture is missing the control keeps what it showed and the call returns false.
bool LoadPictureById(PictureBox* control, int id);
// A keyed picture is recorded in the control with id 0 and its key.
bool LoadPictureByKey(PictureBox* control, const QString& key);
