#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "resources/Pictures.h"

// The mapped picture sets in the program's data.
extern "C" const unsigned char quellor_picture_blob_begin[];
extern "C" const unsigned char quellor_picture_blob_end[];
extern "C" const unsigned char quellor_picture_blob_2x_begin[];
extern "C" const unsigned char quellor_picture_blob_2x_end[];

namespace {

const LayoutScaleFactors kLarge{1.0, 1.0};
const LayoutScaleFactors kSmall{0.78125, 0.78125};

// Sizes as the resource table lists them, written out here independently of the generator.
// Where the table gives two sizes for a range, the first applies to the first buttons named.
QSize ListedSize(int id)
{
    static const int fanW[15] = {78, 92, 108, 119, 132, 142, 154, 166, 175, 185, 193, 197, 204, 209, 228};
    static const int fanH[15] = {103, 107, 113, 116, 122, 123, 128, 129, 132, 135, 136, 137, 141, 140, 157};
    if (id == 18) return {78, 103};
    if (id >= 3 && id <= 63) return {92, 122};
    if (id >= 150 && id <= 153) return {48, 30};
    if (id >= 154 && id <= 169) return {55, 31};
    if (id >= 170 && id <= 173) return {70, 29};
    if (id >= 174 && id <= 177) return {64, 26};
    if (id >= 178 && id <= 186) return {66, 38};
    if (id >= 187 && id <= 192) return {62, 25};
    if (id >= 240 && id <= 259) return {85, 90};
    if (id >= 260 && id <= 274) return {fanW[id - 260], fanH[id - 260]};
    if (id >= 280 && id <= 282) return {70, 29};
    if (id >= 283 && id <= 300) return {43, 24};
    if (id >= 301 && id <= 354) return {72, 95};
    if (id >= 360 && id <= 362) return {70, 29};
    if (id == 434 || id == 435) return {66, 38};
    if (id >= 516 && id <= 519) return {57, 13};
    if (id >= 850 && id <= 861) return {16, 14};
    // Zoom windows: small, medium, large in twips, then the same at the small layout's scale.
    static const int zoomTwips[3][2] = {{2625, 2070}, {4140, 3225}, {6510, 5115}};
    if (id >= 870 && id <= 875) {
        const double scale = id >= 873 ? 0.78125 : 1.0;
        const int* t = zoomTwips[(id - 870) % 3];
        return {int(std::lround(t[0] / 15.0 * scale)), int(std::lround(t[1] / 15.0 * scale))};
    }
    return {};
}

std::vector<int> AllTableIds()
{
    const Pictures::IdTables& t = Pictures::Tables();
    std::vector<int> ids;
    auto add = [&ids](const auto& table) {
        for (int id : table)
            if (id != 0)
                ids.push_back(id);
    };
    add(t.CardPictureIds);
    add(t.ToolbarButtonPictures);
    add(t.DialogButtonPictures);
    add(t.PlayButtonPictures);
    for (const auto& fans : t.FanPictures)
        add(fans);
    add(t.PortraitPictures);
    add(t.ReadyMarkPictures);
    add(t.PlaceMarkPictures);
    add(t.VideoCommandPictures);
    add(t.VideoWindowPictures);
    return ids;
}

QImage Embedded(int id)
{
    return QImage(QStringLiteral(":/pictures/%1.png").arg(id));
}

class PictureTables : public ::testing::Test {
protected:
    void TearDown() override { Pictures::BuildPictureTables(kLarge); }
};

TEST_F(PictureTables, CardIdsPerLayout)
{
    struct Case { int code, large, small; };
    const Case cases[] = {
        {3, 3, 303},     // diamond 3
        {13, 13, 313},   // diamond K
        {14, 14, 301},   // diamond A
        {15, 15, 302},   // diamond 2
        {16, 16, 353},   // small joker
        {17, 17, 354},   // big joker
        {18, 18, 18},    // back
        {19, 19, 316},   // club 3
        {30, 30, 314},   // club A
        {46, 46, 327},   // heart A
        {51, 51, 342},   // spade 3
        {61, 61, 352},   // spade K
        {62, 62, 340},   // spade A
        {63, 63, 341},   // spade 2
    };
    for (const Case& c : cases) {
        Pictures::BuildPictureTables(kLarge);
        EXPECT_EQ(Pictures::Tables().CardPictureIds[c.code], c.large) << "code " << c.code;
        Pictures::BuildPictureTables(kSmall);
        EXPECT_EQ(Pictures::Tables().CardPictureIds[c.code], c.small) << "code " << c.code;
    }
}

TEST_F(PictureTables, SmallCardIdsCoverTheirBlockOnceAndInvalidCodesStayEmpty)
{
    const std::set<int> invalid = {0, 1, 2, 32, 33, 34, 48, 49, 50};
    for (const LayoutScaleFactors& scale : {kLarge, kSmall}) {
        Pictures::BuildPictureTables(scale);
        std::set<int> seen;
        for (int code = 0; code < 64; ++code) {
            const int id = Pictures::Tables().CardPictureIds[code];
            if (invalid.count(code)) {
                EXPECT_EQ(id, 0) << "code " << code;
                continue;
            }
            EXPECT_TRUE(seen.insert(id).second) << "id " << id << " used twice";
            if (scale.h >= 1.0) {
                EXPECT_EQ(id, code);
            } else if (code != 18) {
                EXPECT_TRUE(id >= 301 && id <= 354) << "code " << code << " -> " << id;
            }
        }
        EXPECT_EQ(seen.size(), 55u);
    }
}

TEST_F(PictureTables, ButtonTablesPerLayout)
{
    Pictures::BuildPictureTables(kLarge);
    EXPECT_EQ(Pictures::Tables().ToolbarButtonPictures[0], 150);
    EXPECT_EQ(Pictures::Tables().ToolbarButtonPictures[1], 151);
    EXPECT_EQ(Pictures::Tables().ToolbarButtonPictures[2], 152);
    EXPECT_EQ(Pictures::Tables().ToolbarButtonPictures[19], 169);

    Pictures::BuildPictureTables(kSmall);
    EXPECT_EQ(Pictures::Tables().ToolbarButtonPictures[0], 150);
    EXPECT_EQ(Pictures::Tables().ToolbarButtonPictures[1], 151);
    EXPECT_EQ(Pictures::Tables().ToolbarButtonPictures[2], 283);
    EXPECT_EQ(Pictures::Tables().ToolbarButtonPictures[19], 300);

    // These do not depend on the layout.
    const std::array<int, 18> play = {178, 179, 180, 181, 182, 183, 184, 185, 186,
                                      434, 435, 435, 187, 188, 189, 190, 191, 192};
    const std::array<int, 8> dialog = {170, 171, 172, 173, 174, 175, 176, 177};
    for (const LayoutScaleFactors& scale : {kSmall, kLarge}) {
        Pictures::BuildPictureTables(scale);
        EXPECT_EQ(Pictures::Tables().PlayButtonPictures, play);
        EXPECT_EQ(Pictures::Tables().DialogButtonPictures, dialog);
    }
}

TEST_F(PictureTables, OtherTables)
{
    for (const LayoutScaleFactors& scale : {kSmall, kLarge}) {
        Pictures::BuildPictureTables(scale);
        for (const auto& fans : Pictures::Tables().FanPictures)
            for (int i = 0; i < 15; ++i)
                EXPECT_EQ(fans[i], 260 + i);
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(Pictures::Tables().PortraitPictures[i], 240 + i);
        EXPECT_EQ(Pictures::Tables().ReadyMarkPictures, (std::array<int, 4>{280, 281, 282, 280}));
        EXPECT_EQ(Pictures::Tables().PlaceMarkPictures, (std::array<int, 3>{360, 361, 362}));
        for (int i = 0; i < 13; ++i)
            EXPECT_EQ(Pictures::Tables().VideoCommandPictures[i], 850 + i);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(Pictures::Tables().VideoWindowPictures[i], 870 + i);
    }
}

TEST_F(PictureTables, EveryNamedIdIsEmbeddedAtItsListedSize)
{
    ASSERT_TRUE(QFile(QStringLiteral(":/pictures/3.png")).exists());
    std::set<int> ids;
    for (const LayoutScaleFactors& scale : {kLarge, kSmall}) {
        Pictures::BuildPictureTables(scale);
        for (int id : AllTableIds())
            ids.insert(id);
    }
    // Pictures that other parts load by id without a table.
    for (int id : {235, 238, 516, 517, 518, 519})
        ids.insert(id);
    ASSERT_TRUE(ids.count(862));
    ids.erase(862);

    for (int id : ids) {
        const QImage image = Embedded(id);
        ASSERT_FALSE(image.isNull()) << "picture " << id << " is missing";
        if (id == 235 || id == 238)
            continue;   // the bubbles have no listed size
        EXPECT_EQ(image.size(), ListedSize(id)) << "picture " << id;
    }
    EXPECT_TRUE(Embedded(862).isNull());
}

TEST(PictureSet, KeyedPicturesOfTheTableWindow)
{
    const std::map<QString, QSize> listed = {
        {Pictures::Key::Background, {1024, 768}},
        {Pictures::Key::Pic3, {1024, 768}},
        {Pictures::Key::Pic4, {1024, 768}},
        // The frame painter cuts pieces up to 690 x 3300 twips out of the skin.
        {Pictures::Key::Skin, {46, 220}},
        {Pictures::Key::TopBar, {1024, 96}},
        {Pictures::Key::BottomBar, {1024, 117}},
        {Pictures::Key::Clock, {81, 38}},
        {Pictures::Key::LocationPlate, {394, 39}},
        {Pictures::Key::WebPlace, {82, 80}},
    };
    for (const auto& [key, size] : listed)
        EXPECT_EQ(Pictures::PictureByKey(key).size(), size) << key.toStdString();
    for (const char* key : {Pictures::Key::FirstPlayer, Pictures::Key::ExitWindow, Pictures::Key::NoticeWindow,
                            Pictures::Key::CloseNormal, Pictures::Key::CloseHover, Pictures::Key::ClosePressed,
                            Pictures::Key::MinNormal, Pictures::Key::MinHover, Pictures::Key::MinPressed})
        EXPECT_FALSE(Pictures::PictureByKey(key).isNull()) << key;

    EXPECT_TRUE(Pictures::EmbeddedPictureKeys().contains(QStringLiteral("background")));
    EXPECT_FALSE(Pictures::EmbeddedPictureKeys().contains(QStringLiteral("152")));
}

// --- what the card pictures show ----------------------------------------------------------------

// Share of red among the clearly red or black pixels.
double RedShare(const QImage& image)
{
    int red = 0, black = 0;
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.alpha() < 200)
                continue;
            if (c.red() > 150 && c.green() < 90 && c.blue() < 90)
                ++red;
            else if (c.value() < 80)
                ++black;
        }
    return red + black ? double(red) / (red + black) : 0.0;
}

// Only the corner index: the rank glyph and its suit mark.
QImage Corner(const QImage& face)
{
    return face.copy(0, 0, face.width() / 4, face.height() / 4);
}

TEST(PictureSet, CardColoursFollowTheSuits)
{
    Pictures::BuildPictureTables(kSmall);
    const auto smallIds = Pictures::Tables().CardPictureIds;
    Pictures::BuildPictureTables(kLarge);
    for (int code = 3; code <= 63; ++code) {
        if (Pictures::Tables().CardPictureIds[code] == 0 || code == 18)
            continue;
        const bool redCard = code == 17 || (code != 16 && (code / 16 == 0 || code / 16 == 2));
        for (int id : {code, smallIds[code]}) {
            const double share = RedShare(Corner(Embedded(id)));
            if (redCard)
                EXPECT_GT(share, 0.8) << "picture " << id << " should be red";
            else
                EXPECT_LT(share, 0.1) << "picture " << id << " should be black";
        }
    }
}

// A small card must show the same card as the large one of its code: shrink each large face
// to the small size and find the small face it resembles most.
TEST(PictureSet, SmallFacesShowTheSameCardsAsTheLargeOnes)
{
    auto grey = [](const QImage& image, QSize size) {
        return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_Grayscale8);
    };
    auto distance = [](const QImage& a, const QImage& b) {
        double sum = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                sum += std::abs(int(a.constScanLine(y)[x]) - int(b.constScanLine(y)[x]));
        return sum;
    };
    const QSize probe(36, 48);
    Pictures::BuildPictureTables(kSmall);
    const auto smallIds = Pictures::Tables().CardPictureIds;
    std::map<int, QImage> smallFaces;
    for (int id = 301; id <= 354; ++id)
        smallFaces[id] = grey(Embedded(id), probe);
    Pictures::BuildPictureTables(kLarge);
    for (int code = 3; code <= 63; ++code) {
        if (smallIds[code] < 301)
            continue;
        const QImage large = grey(Embedded(code), probe);
        int best = 0;
        double bestDistance = 1e18;
        for (const auto& [id, face] : smallFaces) {
            const double d = distance(large, face);
            if (d < bestDistance) {
                bestDistance = d;
                best = id;
            }
        }
        EXPECT_EQ(best, smallIds[code]) << "code " << code;
    }
}

TEST(PictureSet, FacesPortraitsAndFansAreAllDifferent)
{
    std::vector<int> ids;
    for (int id = 3; id <= 63; ++id)
        if (!Embedded(id).isNull())
            ids.push_back(id);
    // A fan of one card is the back itself (18), so fans start at two.
    for (int id = 240; id <= 274; ++id)
        if (id != 260)
            ids.push_back(id);
    std::set<QByteArray> seen;
    for (int id : ids) {
        const QImage image = Embedded(id).convertToFormat(QImage::Format_ARGB32);
        const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes()));
        EXPECT_TRUE(seen.insert(bytes).second) << "picture " << id << " repeats another";
    }
    EXPECT_EQ(ids.size(), 55u + 34u);
}

// Every picture is shown from the mapped set, never decoded; what it shows is the PNG exactly
// as a pixmap made from the PNG would hold it.
TEST(PictureSet, MappedPicturesShowWhatTheirPngsShow)
{
    const auto asPixmapHoldsIt = [](const QString& png) {
        return QPixmap::fromImage(QImage(png)).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    int compared = 0;
    for (int id : Pictures::EmbeddedPictureIds()) {
        const QPixmap shown = Pictures::PictureById(id);
        ASSERT_FALSE(shown.isNull()) << id;
        EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32),
                  asPixmapHoldsIt(QStringLiteral(":/pictures/%1.png").arg(id))) << "picture " << id;
        ++compared;
    }
    for (const QString& key : Pictures::EmbeddedPictureKeys()) {
        const QPixmap shown = Pictures::PictureByKey(key);
        ASSERT_FALSE(shown.isNull()) << key.toStdString();
        EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32),
                  asPixmapHoldsIt(QStringLiteral(":/pictures/%1.png").arg(key))) << key.toStdString();
        ++compared;
    }
    EXPECT_GT(compared, 200);

    // The felt is opaque and kept as such, its pixels those mapped with the program.
    const QImage felt = Pictures::PictureByKey(QLatin1String(Pictures::Key::Background)).toImage();
    EXPECT_EQ(felt.format(), QImage::Format_RGB32);
    EXPECT_EQ(felt.size(), QSize(1024, 768));
    EXPECT_GE(felt.constBits(), quellor_picture_blob_begin);
    EXPECT_LT(felt.constBits(), quellor_picture_blob_end);
}

// --- the 2x set -----------------------------------------------------------------------------------

// Every picture of the set by its name: ids, then keys.
QStringList AllNames()
{
    QStringList names;
    for (int id : Pictures::EmbeddedPictureIds())
        names << QString::number(id);
    return names + Pictures::EmbeddedPictureKeys();
}

QPixmap ByName(const QString& name, qreal ratio)
{
    bool numeric = false;
    const int id = name.toInt(&numeric);
    return numeric ? Pictures::PictureById(id, ratio) : Pictures::PictureByKey(name, ratio);
}

QImage Argb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Mean difference of two images of one size per channel, alpha included, 0..255.
double MeanDifference(const QImage& a, const QImage& b)
{
    const QImage x = Argb(a), y = Argb(b);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 4; ++i)
            sum += std::abs(int(p[i]) - int(q[i]));
    }
    return sum / (double(x.width()) * x.height() * 4);
}

// Every picture is drawn a second time at twice the pixels; shown for a screen of ratio 2 it
// covers the logical size of the 1x picture, straight from the mapped 2x set.
TEST(PictureSet, EveryPictureHasA2xDrawingShownAtRatioTwo)
{
    std::map<QString, QImage> ones;
    for (const QString& name : AllNames())
        ones[name] = Argb(ByName(name, 1).toImage());
    for (const auto& [name, one] : ones) {
        const std::string what = name.toStdString();
        const QImage sharp = Pictures::SharpPicture(name);
        ASSERT_FALSE(sharp.isNull()) << what;
        ASSERT_EQ(sharp.size(), one.size() * 2) << what;
        // The same drawing: brought down to 1x it is closer to its own 1x picture than to any
        // other picture of that size (text and thin lines fall on other pixels at 2x, so the
        // two never agree exactly).
        const QImage down = sharp.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double own = MeanDifference(down, one);
        for (const auto& [otherName, other] : ones) {
            if (other.size() == one.size() && other != one) {
                EXPECT_LT(own, MeanDifference(down, other)) << what << " looks like " << otherName.toStdString();
            }
        }

        const QPixmap shown = ByName(name, 2);
        EXPECT_EQ(shown.devicePixelRatio(), 2.0) << what;
        EXPECT_EQ(shown.deviceIndependentSize(), QSizeF(one.size())) << what;
        EXPECT_EQ(Argb(shown.toImage()), Argb(sharp)) << what;
        const uchar* pixels = shown.toImage().constBits();
        EXPECT_TRUE(pixels >= quellor_picture_blob_2x_begin && pixels < quellor_picture_blob_2x_end) << what;
    }
    EXPECT_GT(ones.size(), 200u);
}

// Captions and card indices at 2x are drawn at the finer grid, not the 1x picture enlarged:
// the 2x drawing differs from any enlargement of the 1x picture there.
TEST(PictureSet, CaptionsAndIndicesAt2xAreDrawnNotEnlarged)
{
    Pictures::BuildPictureTables(kLarge);
    struct Case { QString name; QRect area; };   // the area in 1x pixels
    const Case cases[] = {
        {QString::number(Pictures::Tables().PlayButtonPictures[0]), {0, 0, 66, 38}},   // 出牌
        {QString::number(Pictures::Tables().PlayButtonPictures[3]), {0, 0, 66, 38}},   // 提示
        {QString::number(Pictures::Tables().CardPictureIds[3]), {0, 0, 23, 30}},      // the 3's index
        {QString::number(Pictures::Tables().CardPictureIds[62]), {0, 0, 23, 30}},     // the ace's index
        {QString::fromLatin1(Pictures::Key::Clock), {0, 0, 81, 38}},
    };
    for (const Case& c : cases) {
        const QRect finer(c.area.topLeft() * 2, c.area.size() * 2);
        const QImage one = ByName(c.name, 1).toImage();
        const QImage sharp = Pictures::SharpPicture(c.name).copy(finer);
        for (const Qt::TransformationMode mode : {Qt::FastTransformation, Qt::SmoothTransformation}) {
            const QImage enlarged = one.scaled(one.size() * 2, Qt::IgnoreAspectRatio, mode).copy(finer);
            EXPECT_GT(MeanDifference(sharp, enlarged), 4.0) << c.name.toStdString() << " mode " << mode;
        }
    }
}

// Between 1 and 2 the 2x drawing is scaled down smoothly to the screen's pixels; at 1 the
// 1x picture is shown as it always was.
TEST(PictureSet, FractionalRatiosScaleThe2xDrawingDown)
{
    const QImage sharp = Pictures::SharpPicture(QStringLiteral("178"));
    struct Case { qreal ratio; QSize pixels; };
    for (const Case& c : {Case{1.25, {83, 48}}, Case{1.5, {99, 57}}, Case{1.75, {116, 67}}}) {
        const QPixmap shown = Pictures::PictureById(178, c.ratio);
        EXPECT_EQ(shown.devicePixelRatio(), c.ratio);
        EXPECT_EQ(shown.size(), c.pixels) << c.ratio;
        EXPECT_EQ(shown.deviceIndependentSize().toSize(), QSize(66, 38)) << c.ratio;
        EXPECT_EQ(Argb(shown.toImage()), Argb(sharp.scaled(c.pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)))
            << c.ratio;
    }
    const QPixmap plain = Pictures::PictureById(178, 1);
    EXPECT_EQ(plain.devicePixelRatio(), 1.0);
    EXPECT_EQ(plain.size(), QSize(66, 38));
    const uchar* pixels = plain.toImage().constBits();
    EXPECT_TRUE(pixels >= quellor_picture_blob_begin && pixels < quellor_picture_blob_end);
}

// A pixmap over the mapped 2x pixels can be painted on: it copies first, and the mapped set is
// left as it was (it is read-only; a write would end the program).
TEST(PictureSet, PaintingOnA2xPictureCopiesIt)
{
    const QImage before = Pictures::SharpPicture(QStringLiteral("178")).copy();
    QPixmap shown = Pictures::PictureById(178, 2);
    {
        QPainter painter(&shown);
        painter.fillRect(QRect(0, 0, 10, 10), Qt::red);
    }
    EXPECT_EQ(shown.toImage().pixelColor(1, 1), QColor(Qt::red));
    const uchar* pixels = shown.toImage().constBits();
    EXPECT_FALSE(pixels >= quellor_picture_blob_2x_begin && pixels < quellor_picture_blob_2x_end);
    EXPECT_EQ(Pictures::SharpPicture(QStringLiteral("178")), before);
    EXPECT_EQ(Argb(Pictures::PictureById(178, 2).toImage()), Argb(before));
}

TEST(PictureSet, OnlyPlainKeysNamePictures)
{
    EXPECT_FALSE(Pictures::PictureByKey(QStringLiteral("pic3")).isNull());
    for (const char* key : {"", "pic3 ", " pic3", "_pic3", "3pic", "pic3.png", "../pictures/pic3", "pic-3"})
        EXPECT_TRUE(Pictures::PictureByKey(QString::fromLatin1(key)).isNull()) << key;
    EXPECT_TRUE(Pictures::PictureByKey(QStringLiteral("p") + QString(64, QLatin1Char('x'))).isNull());
}

}  // namespace
