// The fixed-width fields and the curve model of the sample data generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "input/numeric_field.h"
#include "sample_data/rate_model.h"
#include "sample_data/record_fields.h"

namespace quillmore::tools {
namespace {

// Writes a field into a buffer guarded by sentinels and returns the field.
template <typename Writer>
std::string Guarded(std::size_t width, Writer write) {
  char buffer[40];
  std::memset(buffer, '#', sizeof buffer);
  write(buffer + 1);
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(buffer[width + 1], '#') << "wrote past the field";
  return std::string(buffer + 1, width);
}

TEST(SampleFields, TimesFitNinePlacesAndReadBackExactly) {
  int dExponents = 0;
  for (const double days :
       {0.000987, 0.001, 0.00123, 0.0456, 1.0, 12.3, 999.0, 1230.0, 36500.0, 73000.0, 9.99e6}) {
    for (unsigned variant = 0; variant < 4; ++variant) {
      const std::string field =
          Guarded(kTimeFieldWidth, [&](char* f) { WriteTimeField(days, variant, f); });
      EXPECT_EQ(input::ReadDouble(field), days) << '"' << field << '"';
      dExponents += field.find('D') != std::string::npos;
    }
  }
  EXPECT_GT(dExponents, 0);
}

TEST(SampleFields, RatesFitTenPlacesWithALeadingBlank) {
  int dExponents = 0;
  for (const double rate : {3.3e-9, 1e-10, 2.345e-12, 9.9996e-13, 1.5e-18, 1.1e-24}) {
    for (unsigned variant = 0; variant < 4; ++variant) {
      const std::string field =
          Guarded(kRateFieldWidth, [&](char* f) { WriteRateField(rate, variant, f); });
      EXPECT_EQ(field[0], ' ') << '"' << field << '"';
      EXPECT_NEAR(input::ReadDouble(field), rate, rate * 5e-3) << '"' << field << '"';
      dExponents += field.find('D') != std::string::npos;
    }
  }
  EXPECT_GT(dExponents, 0);
  EXPECT_EQ(
      input::ReadDouble(Guarded(kRateFieldWidth, [](char* f) { WriteRateField(9e-25, 0, f); })),
      0.0);
  EXPECT_EQ(Guarded(4, [](char* f) { WriteIntegerField(12, 4, false, f); }), "  12");
  EXPECT_EQ(Guarded(4, [](char* f) { WriteIntegerField(12, 4, true, f); }), "12  ");
  EXPECT_EQ(Guarded(7, [](char* f) { WriteTextField("Tc-99m", 7, f); }), "Tc-99m ");
  EXPECT_EQ(Guarded(3, [](char* f) { WriteTextField("Am-241", 3, f); }), "Am-");
}

TEST(SampleCurves, RetentionStartsRightAndDecays) {
  for (std::uint64_t seed = 1; seed <= 20; ++seed) {
    SplitMix64 random(seed);
    const double halfLife = random.LogUniform(0.05, 1e9);
    const CurveModel model = DrawCurveModel(halfLife, random);
    EXPECT_DOUBLE_EQ(EntryRetention(model, 0), 1.0);
    EXPECT_EQ(SystemicRetention(model, 0), 0.0);
    // Uptake first raises the organ content; later everything decays at
    // least as fast as the nuclide itself.
    EXPECT_GT(SystemicRetention(model, 0.01), SystemicRetention(model, 0.001));
    double slowest = model.clearancePerDay[0];
    for (int i = 1; i < model.clearanceCount; ++i) {
      slowest = std::min(slowest, model.clearancePerDay[static_cast<std::size_t>(i)]);
    }
    for (const double t : {1.0, 100.0, 10000.0}) {
      // Past this both curves underflow to zero.
      if ((slowest + model.decayPerDay) * 2 * t > 500) break;
      const double decay = std::exp(-model.decayPerDay * t);
      EXPECT_LE(EntryRetention(model, t), decay * (1 + 1e-12));
      EXPECT_LT(EntryRetention(model, 2 * t), EntryRetention(model, t));
      EXPECT_GT(SystemicRetention(model, t), 0.0);
    }
  }
}

TEST(SampleCurves, TimeGridsIncreaseStrictlyOnThreeDigits) {
  for (std::uint64_t seed = 1; seed <= 20; ++seed) {
    SplitMix64 random(seed);
    const int count = random.IntBetween(2, 150);
    const std::vector<double> times = DrawTimeGrid(count, 36500, random);
    ASSERT_EQ(times.size(), static_cast<std::size_t>(count));
    EXPECT_GE(times.front(), 0.0008);
    EXPECT_LE(times.front(), 0.0012);
    EXPECT_EQ(times.back(), 36500);
    for (std::size_t i = 0; i < times.size(); ++i) {
      EXPECT_EQ(RoundToThreeDigits(times[i]), times[i]);
      if (i > 0) {
        EXPECT_GT(times[i], times[i - 1]);
      }
    }
  }
  SplitMix64 random(1);
  EXPECT_EQ(DrawTimeGrid(1, 36500, random), std::vector<double>{1.0});
}

}  // namespace
}  // namespace quillmore::tools
