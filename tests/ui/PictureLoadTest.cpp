#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include "resources/Pictures.h"
#include "ui/PictureBox.h"
#include "ui/PictureLoad.h"

TEST(PictureLoad, LoadingIntoAControl)
{
    PictureBox box;
    ASSERT_TRUE(LoadPictureById(&box, 850));
    EXPECT_EQ(box.pictureId(), 850);
    const QImage before = box.pixmap().toImage();
    EXPECT_EQ(before.size(), QSize(16, 14));

    // A missing picture leaves the control as it was, and no file is written on the way.
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (int id : {862, 0, -5, 100000}) {
        EXPECT_FALSE(LoadPictureById(&box, id)) << id;
        EXPECT_EQ(box.pictureId(), 850);
        EXPECT_EQ(box.pixmap().toImage(), before);
    }
    EXPECT_FALSE(programDir.exists(QStringLiteral("tmp.GIF")));
    EXPECT_FALSE(LoadPictureById(nullptr, 850));

    ASSERT_TRUE(LoadPictureById(&box, 152));
    EXPECT_EQ(box.pictureId(), 152);
    EXPECT_EQ(box.pixmap().size(), QSize(48, 30));

    // Keys: only plain names reach the picture folder.
    for (const QString& bad : {QString(), QStringLiteral("../pictures/3"), QStringLiteral("3/.."),
                               QStringLiteral("nosuchkey"), QStringLiteral("skin.png")}) {
        EXPECT_FALSE(LoadPictureByKey(&box, bad)) << bad.toStdString();
        EXPECT_EQ(box.pictureId(), 152);
    }
    ASSERT_TRUE(LoadPictureByKey(&box, Pictures::Key::Clock));
    EXPECT_EQ(box.pictureId(), 0);
    EXPECT_EQ(box.pictureKey(), Pictures::Key::Clock);
    EXPECT_EQ(box.pixmap().size(), QSize(81, 38));
}
