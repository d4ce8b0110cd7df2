// Image insertion with real PNG bytes through the Qt image codec.
#include "model/ClassCharSheet.h"
#include "rendering/QtImageCodec.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

namespace ff {
namespace {

TEST(QtImageInsert, InsertedPngHasItsPixelSizeAtScreenResolution)
{
    InstallQtImageCodec();
    QImage img(120, 48, QImage::Format_ARGB32);
    img.fill(Qt::red);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(img.save(&buf, "PNG"));

    CS_DPI = 96;
    TCharacterSheet sheet;
    TMemoryStream s(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
    TCSObject* o = sheet.InsertImage(s);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->Points, (std::vector<TPointF>{{0, 0}, {0, 0.5}, {1.25, 0.5}, {1.25, 0}}));
    EXPECT_EQ(o->Image->Bytes().size(), static_cast<size_t>(bytes.size()));
}

} // namespace
} // namespace ff
