#include <tincture/UIColor+Tincture.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <tincture/DeltaE.h>
#include <tincture/NSArray+Tincture.h>

namespace {

struct Pair {
    double l1, a1, b1, l2, a2, b2, deltaE;
};

// Sharma, Wu and Dalal (2005), table 1: the 34 published test pairs.
constexpr Pair sharmaPairs[] = {
    { 50.0000, 2.6772, -79.7751, 50.0000, 0.0000, -82.7485, 2.0425 },
    { 50.0000, 3.1571, -77.2803, 50.0000, 0.0000, -82.7485, 2.8615 },
    { 50.0000, 2.8361, -74.0200, 50.0000, 0.0000, -82.7485, 3.4412 },
    { 50.0000, -1.3802, -84.2814, 50.0000, 0.0000, -82.7485, 1.0000 },
    { 50.0000, -1.1848, -84.8006, 50.0000, 0.0000, -82.7485, 1.0000 },
    { 50.0000, -0.9009, -85.5211, 50.0000, 0.0000, -82.7485, 1.0000 },
    { 50.0000, 0.0000, 0.0000, 50.0000, -1.0000, 2.0000, 2.3669 },
    { 50.0000, -1.0000, 2.0000, 50.0000, 0.0000, 0.0000, 2.3669 },
    { 50.0000, 2.4900, -0.0010, 50.0000, -2.4900, 0.0009, 7.1792 },
    { 50.0000, 2.4900, -0.0010, 50.0000, -2.4900, 0.0010, 7.1792 },
    { 50.0000, 2.4900, -0.0010, 50.0000, -2.4900, 0.0011, 7.2195 },
    { 50.0000, 2.4900, -0.0010, 50.0000, -2.4900, 0.0012, 7.2195 },
    { 50.0000, -0.0010, 2.4900, 50.0000, 0.0009, -2.4900, 4.8045 },
    { 50.0000, -0.0010, 2.4900, 50.0000, 0.0010, -2.4900, 4.8045 },
    { 50.0000, -0.0010, 2.4900, 50.0000, 0.0011, -2.4900, 4.7461 },
    { 50.0000, 2.5000, 0.0000, 50.0000, 0.0000, -2.5000, 4.3065 },
    { 50.0000, 2.5000, 0.0000, 73.0000, 25.0000, -18.0000, 27.1492 },
    { 50.0000, 2.5000, 0.0000, 61.0000, -5.0000, 29.0000, 22.8977 },
    { 50.0000, 2.5000, 0.0000, 56.0000, -27.0000, -3.0000, 31.9030 },
    { 50.0000, 2.5000, 0.0000, 58.0000, 24.0000, 15.0000, 19.4535 },
    { 50.0000, 2.5000, 0.0000, 50.0000, 3.1736, 0.5854, 1.0000 },
    { 50.0000, 2.5000, 0.0000, 50.0000, 3.2972, 0.0000, 1.0000 },
    { 50.0000, 2.5000, 0.0000, 50.0000, 1.8634, 0.5757, 1.0000 },
    { 50.0000, 2.5000, 0.0000, 50.0000, 3.2592, 0.3350, 1.0000 },
    { 60.2574, -34.0099, 36.2677, 60.4626, -34.1751, 39.4387, 1.2644 },
    { 63.0109, -31.0961, -5.8663, 62.8187, -29.7946, -4.0864, 1.2630 },
    { 61.2901, 3.7196, -5.3901, 61.4292, 2.2480, -4.9620, 1.8731 },
    { 35.0831, -44.1164, 3.7933, 35.0232, -40.0716, 1.5901, 1.8645 },
    { 22.7233, 20.0904, -46.6940, 23.0331, 14.9730, -42.5619, 2.0373 },
    { 36.4612, 47.8580, 18.3852, 36.2715, 50.5065, 21.2231, 1.4146 },
    { 90.8027, -2.0831, 1.4410, 91.1528, -1.6435, 0.0447, 1.4441 },
    { 90.9257, -0.5406, -0.9208, 88.6381, -0.8985, -0.7239, 1.5381 },
    { 6.7747, -0.2908, -2.4247, 5.8714, -0.0985, -2.2286, 0.6377 },
    { 2.0776, 0.0795, -1.1350, 0.9033, -0.0636, -0.5514, 0.9082 },
};

double rounded(double value)
{
    return std::round(value * 10000) / 10000;
}

}

TEST(CIEDE2000, ThePublishedPairsGiveTheirDifferenceToFourDecimalsInBothOrders)
{
    for (std::size_t i = 0; i < std::size(sharmaPairs); ++i) {
        auto& p = sharmaPairs[i];
        EXPECT_EQ(rounded(tincture::totalSumOfDifferencesFroml1(p.l1, p.l2, p.a1, p.a2, p.b1, p.b2)), p.deltaE) << "pair " << i + 1;
        EXPECT_EQ(rounded(tincture::totalSumOfDifferencesFroml1(p.l2, p.l1, p.a2, p.a1, p.b2, p.b1)), p.deltaE) << "pair " << i + 1 << " reversed";
        EXPECT_EQ(tincture::array::totalSumOfDifferencesFroml1(p.l1, p.l2, p.a1, p.a2, p.b1, p.b2),
            tincture::totalSumOfDifferencesFroml1(p.l1, p.l2, p.a1, p.a2, p.b1, p.b2));
    }
}

TEST(CIEDE2000, ThePairsExactlyHalfATurnApartTakeTheMeanHueOfTheShorterArc)
{
    // Pairs 10 and 14: the primed hues differ by exactly 180 degrees, the edge
    // between the mean-hue cases; neighbouring pairs 9, 11 and 13, 15 fall either side.
    auto& pair10 = sharmaPairs[9];
    auto& pair14 = sharmaPairs[13];
    EXPECT_EQ(rounded(tincture::totalSumOfDifferencesFroml1(pair10.l1, pair10.l2, pair10.a1, pair10.a2, pair10.b1, pair10.b2)), 7.1792);
    EXPECT_EQ(rounded(tincture::totalSumOfDifferencesFroml1(pair10.l2, pair10.l1, pair10.a2, pair10.a1, pair10.b2, pair10.b1)), 7.1792);
    EXPECT_EQ(rounded(tincture::totalSumOfDifferencesFroml1(pair14.l1, pair14.l2, pair14.a1, pair14.a2, pair14.b1, pair14.b2)), 4.8045);
    EXPECT_EQ(rounded(tincture::totalSumOfDifferencesFroml1(pair14.l2, pair14.l1, pair14.a2, pair14.a1, pair14.b2, pair14.b1)), 4.8045);
}

// The bound that skips the trigonometry must never exceed the distance: at a
// limit just above each pair's distance, the distance itself comes back.
TEST(CIEDE2000, TheBoundsWithoutTrigonometryNeverExceedTheDistance)
{
    std::mt19937_64 random(2005);
    std::uniform_real_distribution<double> lightness(0, 100), axis(-128, 128), unit(0, 1);
    for (int i = 0; i < 400000; ++i) {
        auto pick = [&] {
            // Half of them blue-violet, where the rotation term is largest.
            if (unit(random) < 0.5) {
                double hue = (240 + 70 * unit(random)) * M_PI / 180, chroma = 128 * unit(random);
                return tincture::labColor(lightness(random), chroma * std::cos(hue), chroma * std::sin(hue));
            }
            return tincture::labColor(lightness(random), axis(random), axis(random));
        };
        auto first = pick(), second = pick();
        double distance = tincture::deltaE2000(first, second);
        ASSERT_LE(tincture::deltaE2000LowerBoundSquared(first, second), distance * distance * (1 + 1e-12) + 1e-12)
            << first.l << " " << first.a << " " << first.b << " / " << second.l << " " << second.a << " " << second.b;
        ASSERT_EQ(tincture::deltaE2000Within(first, second, distance * (1 + 1e-12) + 1e-12), distance)
            << first.l << " " << first.a << " " << first.b << " / " << second.l << " " << second.a << " " << second.b;
    }
}
