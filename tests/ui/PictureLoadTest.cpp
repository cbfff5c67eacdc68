#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include "resources/Pictures.h"
#include "ui/PictureBox.h"
#include "ui/PictureLoad.h"
#include "ui/UiFixture.h"

// The mapped picture sets in the program's data.
extern "C" const unsigned char quellor_picture_blob_begin[];
extern "C" const unsigned char quellor_picture_blob_end[];
extern "C" const unsigned char quellor_picture_blob_2x_begin[];
extern "C" const unsigned char quellor_picture_blob_2x_end[];

using TableOnScreen = UiTest::TableFixture;

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

namespace {

// How many pages of [begin, end) are mapped into this process now (the kernel's page map).
int PresentPages(const unsigned char* begin, const unsigned char* end)
{
    QFile pagemap(QStringLiteral("/proc/self/pagemap"));
    if (!pagemap.open(QIODevice::ReadOnly))
        return -1;
    const quintptr page = quintptr(sysconf(_SC_PAGESIZE));
    const quintptr first = quintptr(begin) / page, last = (quintptr(end) - 1) / page;
    if (!pagemap.seek(qint64(first * 8)))
        return -1;
    const QByteArray entries = pagemap.read(qint64((last - first + 1) * 8));
    int present = 0;
    for (qsizetype at = 0; at + 8 <= entries.size(); at += 8) {
        quint64 entry = 0;
        std::memcpy(&entry, entries.constData() + at, 8);
        present += (entry >> 63) & 1;
    }
    return present;
}

}  // namespace

// On a screen of ratio 1 the table reads its pictures from the 1x set only: not one page of
// the 2x set is brought into the process.
TEST_F(TableOnScreen, AtRatioOneNoPageOfThe2xSetIsRead)
{
    MainForm& f = Load({1280, 1024});
    ASSERT_EQ(f.devicePixelRatioF(), 1.0);
    f.grab();
    EXPECT_GT(PresentPages(quellor_picture_blob_begin, quellor_picture_blob_end), 0);
    EXPECT_EQ(PresentPages(quellor_picture_blob_2x_begin, quellor_picture_blob_2x_end), 0);
}
