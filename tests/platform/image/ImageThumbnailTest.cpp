// Thumbnail pixels of large JPEGs, which are decoded at a reduced scale before the exact
// resize: they keep the size and the look that the same picture read whole gives.
#include "platform/image/ImageThumbnail.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/TestEnvironment.h"
#include "tests/support/TestImages.h"

namespace {

// The mean difference of one colour channel of two pictures of one size, 0 to 255.
double MeanDifference(const ThumbnailPixels& a, const ThumbnailPixels& b, int channel) {
    const int step = a.bitCount / 8;
    long long sum = 0;
    for (LONG y = 0; y < a.height; ++y) {
        for (LONG x = 0; x < a.width; ++x) {
            const size_t at = static_cast<size_t>(y) * a.rowBytes + static_cast<size_t>(x) * step;
            sum += std::abs(static_cast<int>(a.rows[at + channel]) - b.rows[at + channel]);
        }
    }
    return static_cast<double>(sum) / (static_cast<double>(a.width) * a.height);
}

TEST(ImageThumbnailTest, ALargeJpegKeepsTheSizeAndLookOfThePictureReadWhole) {
    struct Case {
        int width, height;
        LONG boxWidth, boxHeight;
    };
    const Case cases[] = {
        {1224, 816, 100, 100},  // about a megapixel
        {1000, 1000, 100, 100},
        {213, 777, 100, 100},   // a reduced decode alone would round to 28 x 100, not 27
        {200, 200, 100, 100},   // just twice the box
        {199, 1000, 100, 100},  // less than twice the box across: read whole
        {1600, 400, 120, 30},   // a flat box
    };
    const std::string folder = MakeTestFolder("reduced-jpeg");
    for (const Case& c : cases) {
        const std::string name =
            folder + "/" + std::to_string(c.width) + "x" + std::to_string(c.height);
        // The same picture as a JPEG and as a PNG, which is always read whole.
        ASSERT_TRUE(MakeTestImage(name + ".jpg", c.width, c.height));
        ASSERT_TRUE(MakeTestImage(name + ".png", c.width, c.height));
        ThumbnailPixels jpeg, png;
        ASSERT_TRUE(LoadThumbnailPixels(name + ".jpg", c.boxWidth, c.boxHeight, 24, &jpeg));
        ASSERT_TRUE(LoadThumbnailPixels(name + ".png", c.boxWidth, c.boxHeight, 24, &png));
        EXPECT_EQ(jpeg.width, png.width) << name;
        EXPECT_EQ(jpeg.height, png.height) << name;
        if (jpeg.width != png.width || jpeg.height != png.height)
            continue;
        // Red and green run smoothly across the picture; the blue saw-tooth repeats
        // every few pixels, finer than a thumbnail shows, and is left out.
        EXPECT_LT(MeanDifference(jpeg, png, 2), 3.0) << name << " red";
        EXPECT_LT(MeanDifference(jpeg, png, 1), 3.0) << name << " green";
    }
}

}  // namespace
