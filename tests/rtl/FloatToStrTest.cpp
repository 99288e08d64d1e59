#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <platform/rtl/Rtl.h>
#include <random>
#include <string>
#include <vector>

using namespace Platform;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::nan("");

struct TFormatCase {
  double Value;
  TFloatFormat Format;
  int Precision;
  int Digits;
  const char *Expected;
};

void ExpectFormats(const std::vector<TFormatCase> &cases) {
  for (const TFormatCase &c : cases)
    EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits), c.Expected)
        << "value " << c.Value << " format " << int(c.Format) << " precision " << c.Precision << " digits " << c.Digits;
}

} // namespace

TEST(FloatToStrF, Fixed) {
  ExpectFormats({
      {1.23456, ffFixed, 3, 4, "1.2300"}, // precision limits the digits, zeros pad the decimals
      {1.23456, ffFixed, 15, 4, "1.2346"},
      {1000, ffFixed, 3, 0, "1.00E+003"}, // more integer digits than precision
      {123456, ffFixed, 3, 2, "1.23E+005"},
      {999.6, ffFixed, 3, 0, "1.00E+003"}, // rounding adds the fourth integer digit
      {999.4, ffFixed, 3, 0, "999"},
      {0.125, ffFixed, 15, 2, "0.13"}, // exact tie, away from zero
      {-0.125, ffFixed, 15, 2, "-0.13"},
      {2.5, ffFixed, 15, 0, "3"},
      {-2.5, ffFixed, 15, 0, "-3"},
      {2.675, ffFixed, 15, 2, "2.67"}, // the double lies below the tie
      {0.006, ffFixed, 15, 2, "0.01"},
      {0.004, ffFixed, 15, 2, "0.00"},
      {-0.001, ffFixed, 15, 2, "0.00"}, // rounds to zero: no sign
      {-0.0, ffFixed, 15, 2, "0.00"},
      {0, ffFixed, 15, 0, "0"},
      {-7, ffFixed, 15, 0, "-7"},
      {1e-300, ffFixed, 15, 2, "0.00"},
      {1e308, ffFixed, 15, 2, "1.00000000000000E+308"},
      {3.14159, ffFixed, 15, 25, "3.141590000000000000"}, // digits capped at 18
      {1.23456, ffFixed, 0, 4, "1.0000"},                 // precision raised to 1
      {123.456, ffFixed, 30, 15, "123.456000000000003"},  // precision capped at 18 exact digits
  });
}

TEST(FloatToStrF, NumberAndCurrencyGroupThousands) {
  ExpectFormats({
      {1234567.891, ffNumber, 15, 2, "1,234,567.89"},
      {-1234.5, ffNumber, 15, 1, "-1,234.5"},
      {999.5, ffNumber, 15, 0, "1,000"},
      {123, ffNumber, 15, 0, "123"},
      {0.5, ffNumber, 15, 3, "0.500"},
      {1e20, ffNumber, 15, 0, "1.00000000000000E+020"},
      {1234567.891, ffCurrency, 15, 2, "1,234,567.89"},
  });
}

TEST(FloatToStrF, Exponent) {
  ExpectFormats({
      {123.456, ffExponent, 4, 2, "1.235E+02"},
      {0, ffExponent, 3, 3, "0.00E+000"},
      {-0.0, ffExponent, 3, 1, "0.00E+0"},
      {-1e-300, ffExponent, 3, 0, "-1.00E-300"},
      {1.5, ffExponent, 1, 0, "2E+0"},
      {9.9999, ffExponent, 3, 4, "1.00E+0001"}, // rounding moves the exponent
      {1, ffExponent, 2, 9, "1.0E+0000"},       // exponent digits capped at 4
      {-0.0000001, ffExponent, 3, 2, "-1.00E-07"},
      {5e-324, ffExponent, 18, 0, "4.94065645841246544E-324"},
  });
}

TEST(FloatToStrF, General) {
  ExpectFormats({
      {1e20, ffGeneral, 15, 0, "1E20"},
      {1e-20, ffGeneral, 15, 0, "1E-20"},
      {0, ffGeneral, 15, 0, "0"},
      {-0.0, ffGeneral, 15, 0, "0"},
      {123456789012345.0, ffGeneral, 15, 0, "123456789012345"},
      {1e15, ffGeneral, 15, 0, "1E15"},
      {0.1, ffGeneral, 15, 0, "0.1"},
      {0.1, ffGeneral, 18, 0, "0.100000000000000006"},
      {2.0 / 3, ffGeneral, 15, 0, "0.666666666666667"},
      {-12.5, ffGeneral, 15, 0, "-12.5"},
      {0.00001, ffGeneral, 15, 0, "0.00001"},
      {0.000009999, ffGeneral, 15, 2, "9.999E-06"},
      {1.5e-7, ffGeneral, 15, 3, "1.5E-007"},
      {12345.678, ffGeneral, 4, 0, "1.235E4"},
      {-2.5, ffGeneral, 1, 0, "-3"},
      {1.7976931348623157e308, ffGeneral, 15, 0, "1.79769313486232E308"},
  });
}

TEST(FloatToStrF, NonFiniteValues) {
  for (TFloatFormat format : {ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency}) {
    EXPECT_EQ(FloatToStrF(NaN, format, 15, 2), "NAN");
    EXPECT_EQ(FloatToStrF(Inf, format, 15, 2), "INF");
    EXPECT_EQ(FloatToStrF(-Inf, format, 15, 2), "-INF");
  }
  EXPECT_EQ(FloatToStrFixed(NaN, 2), "NAN");
  EXPECT_EQ(FloatToStrFixed(-Inf, 2), "-INF");
}

TEST(FloatToStrFixed, Table) {
  const struct {
    double Value;
    int Decimals;
    const char *Expected;
  } cases[] = {
      {0.5, 0, "1"},
      {1.5, 0, "2"},
      {2.5, 0, "3"},
      {-0.5, 0, "-1"},
      {-0.4, 0, "0"},
      {-0.004, 2, "0.00"},
      {-0.0, 1, "0.0"},
      {0.125, 2, "0.13"},
      {2.675, 2, "2.67"},
      {1.005, 2, "1.00"},
      {-1.25, 1, "-1.3"},
      {1234567.5, 0, "1234568"}, // no grouping
      {1e22, 0, "10000000000000000000000"},
      {123.456, -3, "123"},
      {0.1, 100, "0.100000000000000005551115123126"}, // decimals capped at 30
      {-1e-300, 5, "0.00000"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(FloatToStrFixed(c.Value, c.Decimals), c.Expected) << c.Value << " with " << c.Decimals;
}

// Away from exact ties, correct rounding leaves one answer, which the C library also gives.
TEST(FloatToStrFixed, AgreesWithCorrectRoundingOffTies) {
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> mantissa(1, 2);
  std::uniform_int_distribution<int> exponent(-40, 60), decimals(0, 12);
  int compared = 0;
  for (int i = 0; i < 3000; ++i) {
    const double value = std::ldexp(mantissa(random), exponent(random)) * (i % 2 ? -1 : 1);
    const int d = decimals(random);
    static char exact[1200], rounded[200];
    std::snprintf(exact, sizeof exact, "%.1100f", value);
    const std::string tail = std::string(exact).substr(std::string(exact).find('.') + 1 + d);
    if (tail[0] == '5' && tail.find_first_not_of('0', 1) == std::string::npos)
      continue;
    std::snprintf(rounded, sizeof rounded, "%.*f", d, value);
    std::string expected = rounded;
    if (expected[0] == '-' && expected.find_first_not_of("-0.") == std::string::npos)
      expected.erase(0, 1);
    EXPECT_EQ(FloatToStrFixed(value, d), expected) << exact;
    ++compared;
  }
  EXPECT_GT(compared, 2900);
}

TEST(FloatToStr, SeparatorIgnoresTheCLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.utf8"))
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  const std::string fixed = FloatToStrFixed(1.5, 2), grouped = FloatToStrF(1234.5, ffNumber, 15, 1);
  std::setlocale(LC_NUMERIC, saved.c_str());
  ASSERT_STREQ(probe, "1,5") << "the locale should write a decimal comma";
  EXPECT_EQ(fixed, "1.50");
  EXPECT_EQ(grouped, "1,234.5");
}

TEST(Round, HalvesToEvenAndSaturates) {
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(-3.5), -4);
  EXPECT_EQ(Round(0.5), 0);
  EXPECT_EQ(Round(2.4999999999999996), 2);
  EXPECT_EQ(Round(-2.6), -3);
  EXPECT_EQ(Round(9223372036854774784.0), 9223372036854774784); // the largest double below 2^63
  EXPECT_EQ(Round(1e300), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(Round(-1e300), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(Round(Inf), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(Round(-Inf), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(Round(NaN), 0);
}

TEST(Trunc, CutsTowardsZeroAndSaturates) {
  EXPECT_EQ(Trunc(2.7), 2);
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_EQ(Trunc(-0.9), 0);
  EXPECT_EQ(Trunc(9223372036854775808.0), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(Trunc(-9223372036854775808.0), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(Trunc(-1e19), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(Trunc(NaN), 0);
}
