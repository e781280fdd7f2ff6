// The conversion of the face's 0x00RRGGBB pixels into the formats X servers
// offer: 24 bits in 32 as they are, 32-bit visuals with an alpha byte, 16 bits
// (5-6-5), 30 bits (10-10-10), and a server of the other byte order.
// GoogleTest before Xlib, whose macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "frame_image_x11.h"

#include <X11/Xutil.h>

#include <cstdint>
#include <vector>

namespace {

// A client-side image of `width` x 1 in the given format, made without a
// display (XInitImage fills in the access functions).
struct TestImage {
  XImage image{};
  std::vector<char> data;

  TestImage(int width, int depth, int bitsPerPixel, unsigned long red, unsigned long green,
            unsigned long blue, int byteOrder = LSBFirst) {
    image.width = width;
    image.height = 1;
    image.format = ZPixmap;
    image.byte_order = byteOrder;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = byteOrder;
    image.bitmap_pad = 32;
    image.depth = depth;
    image.bits_per_pixel = bitsPerPixel;
    image.bytes_per_line = (width * bitsPerPixel + 31) / 32 * 4;
    image.red_mask = red;
    image.green_mask = green;
    image.blue_mask = blue;
    data.assign(static_cast<std::size_t>(image.bytes_per_line), 0);
    image.data = data.data();
    EXPECT_NE(XInitImage(&image), 0);
  }

  std::vector<unsigned long> Convert(const std::vector<std::uint32_t>& rgb, int x = 0) {
    ConvertRow(image, rgb.data(), x, 0, static_cast<int>(rgb.size()));
    std::vector<unsigned long> pixels;
    for (int i = 0; i < image.width; ++i) pixels.push_back(XGetPixel(&image, i, 0));
    return pixels;
  }
};

TEST(FrameImageTest, TwentyFourBitsAreCopiedAsTheyAre) {
  TestImage image(3, 24, 32, 0xFF0000, 0xFF00, 0xFF);
  EXPECT_EQ(UnusedPixelBits(image.image), 0u);
  EXPECT_EQ(image.Convert({0x00FCC625, 0x00000000, 0x00FFFFFF}),
            (std::vector<unsigned long>{0xFCC625, 0, 0xFFFFFF}));
  // Into the middle of a row, leaving the rest alone.
  TestImage middle(4, 24, 32, 0xFF0000, 0xFF00, 0xFF);
  EXPECT_EQ(middle.Convert({0x123456, 0x654321}, 1), (std::vector<unsigned long>{0, 0x123456, 0x654321, 0}));
}

TEST(FrameImageTest, ThirtyTwoBitVisualsAreOpaque) {
  TestImage image(2, 32, 32, 0xFF0000, 0xFF00, 0xFF);
  EXPECT_EQ(UnusedPixelBits(image.image), 0xFF000000u);
  EXPECT_EQ(image.Convert({0x000000, 0x38FF32}), (std::vector<unsigned long>{0xFF000000, 0xFF38FF32}));
}

TEST(FrameImageTest, SixteenBitsRoundEachChannel) {
  TestImage image(5, 16, 16, 0xF800, 0x07E0, 0x001F);
  EXPECT_EQ(UnusedPixelBits(image.image), 0u);
  EXPECT_EQ(image.Convert({0xFFFFFF, 0x000000, 0xFF0000, 0x00FF00, 0x0000FF}),
            (std::vector<unsigned long>{0xFFFF, 0, 0xF800, 0x07E0, 0x001F}));
  // 0x80 of 255 is 15.56 of 31 and 31.6 of 63: rounded to 16 and 32.
  EXPECT_EQ(PixelValue(image.image, 0x808080), (16ul << 11) | (32ul << 5) | 16ul);
  // Dark shades of the fading rings must not all fall to black.
  EXPECT_NE(PixelValue(image.image, 0x060606), 0ul);
}

TEST(FrameImageTest, ThirtyBitsWidenEachChannel) {
  // Depth 30 in 32 bits: 10 bits a channel, the top two bits unused.
  TestImage image(3, 30, 32, 0x3FF00000, 0x000FFC00, 0x000003FF);
  EXPECT_EQ(UnusedPixelBits(image.image), 0u);
  EXPECT_EQ(image.Convert({0xFFFFFF, 0x000000, 0xFCC625}),
            (std::vector<unsigned long>{0x3FFFFFFF,
                                        0,
                                        ((0xFCul * 1023 + 127) / 255) << 20 |
                                            ((0xC6ul * 1023 + 127) / 255) << 10 |
                                            ((0x25ul * 1023 + 127) / 255)}));
  // Depth 30 with a 2-bit alpha above it: set.
  TestImage alpha(1, 32, 32, 0x3FF00000, 0x000FFC00, 0x000003FF);
  EXPECT_EQ(UnusedPixelBits(alpha.image), 0xC0000000u);
}

TEST(FrameImageTest, TheOtherByteOrderGoesPixelByPixel) {
  TestImage image(2, 24, 32, 0xFF0000, 0xFF00, 0xFF, MSBFirst);
  image.Convert({0x123456, 0xABCDEF});
  // XGetPixel reads the value back whatever the order; the bytes show it.
  EXPECT_EQ(XGetPixel(&image.image, 0, 0), 0x123456ul);
  EXPECT_EQ(XGetPixel(&image.image, 1, 0), 0xABCDEFul);
  EXPECT_EQ(static_cast<unsigned char>(image.data[1]), 0x12);
  EXPECT_EQ(static_cast<unsigned char>(image.data[3]), 0x56);
}

}  // namespace
