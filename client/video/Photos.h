#pragma once
// Photos of the video chat: the latest frame of a position saved into the album folder beside
// the program, in a file named by the moment; opening the album.
#include <functional>
#include <QDateTime>
#include <QString>

namespace Photos {

QString AlbumFolder();
QString PhotoFileName(const QDateTime& at);
// The moment a photo is taken at; tests set it (nothing: the real clock).
void SetPhotoClock(std::function<QDateTime()> clock);
// Saves the latest frame of k (0 own, 1..3 positions); false when there was no well-formed
// frame or the file could not be written (the message line says which).
bool TakePhoto(int k);
void OpenAlbum();
void Reset();

}  // namespace Photos
