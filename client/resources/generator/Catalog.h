#pragma once
// The list of every picture the generator draws: its file name (a numeric id or a key), its
// size, and the routine that paints it onto a transparent canvas of that size.
#include <functional>
#include <vector>
#include <QPainter>
#include <QSize>
#include <QString>

struct PictureEntry {
    QString name;
    QSize size;
    std::function<void(QPainter&, const QSize&)> draw;
};

using PictureList = std::vector<PictureEntry>;

PictureList Catalog();

// Each family adds its pictures.
void AddCardPictures(PictureList& list);
void AddButtonPictures(PictureList& list);
void AddPortraitPictures(PictureList& list);
void AddTablePictures(PictureList& list);

inline void AddPicture(PictureList& list, int id, QSize size,
                       std::function<void(QPainter&, const QSize&)> draw)
{
    list.push_back({QString::number(id), size, std::move(draw)});
}

inline void AddPicture(PictureList& list, const QString& key, QSize size,
                       std::function<void(QPainter&, const QSize&)> draw)
{
    list.push_back({key, size, std::move(draw)});
}
