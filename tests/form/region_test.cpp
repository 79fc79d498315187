// Window shapes from rectangles and polygons.
#include <gtest/gtest.h>

#include <vector>

#include "form/region.h"

namespace tolmeo {
namespace {

TEST(RegionTest, RectanglesAreHalfOpenAndSubtractable) {
  Region region = Region::FromRect(Rect{0, 0, 10, 5});
  region.SubtractRect(Rect{2, 0, 3, 1});
  EXPECT_TRUE(region.Contains(0, 0));
  EXPECT_TRUE(region.Contains(9, 4));
  EXPECT_FALSE(region.Contains(10, 4));
  EXPECT_FALSE(region.Contains(9, 5));
  EXPECT_FALSE(region.Contains(2, 0));
  EXPECT_FALSE(region.Contains(4, 0));
  EXPECT_TRUE(region.Contains(5, 0));
  EXPECT_FALSE(region.Contains(-1, 0));
}

TEST(RegionTest, ATriangleTailCoversPixelsWhoseCentresLieInside) {
  // The balloon's tail: corners (16, 12), (16, 0), (27, 12), added to a body below row 12.
  Region balloon = Region::FromRect(Rect{0, 12, 60, 20});
  std::vector<Point> tail = {{16, 12}, {16, 0}, {27, 12}};
  balloon.AddPolygon(tail, PolygonFill::Alternate);
  EXPECT_TRUE(balloon.Contains(16, 11));
  EXPECT_TRUE(balloon.Contains(25, 11));
  EXPECT_FALSE(balloon.Contains(15, 11));
  EXPECT_FALSE(balloon.Contains(27, 11));
  EXPECT_TRUE(balloon.Contains(16, 1));
  EXPECT_FALSE(balloon.Contains(17, 0));
  EXPECT_TRUE(balloon.Contains(40, 12));
  EXPECT_FALSE(balloon.Contains(40, 11));
}

TEST(RegionTest, AlternateFillLeavesTheInnerOfTwoNestedLoopsOut) {
  std::vector<Point> nested = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0},
                               {3, 3}, {7, 3}, {7, 7}, {3, 7}, {3, 3}};
  EXPECT_FALSE(Region::FromPolygon(nested, PolygonFill::Alternate).Contains(5, 5));
  EXPECT_TRUE(Region::FromPolygon(nested, PolygonFill::Alternate).Contains(1, 5));
  EXPECT_TRUE(Region::FromPolygon(nested, PolygonFill::Winding).Contains(5, 5));
}

TEST(RegionTest, AddingAndSubtractingRegionsOfDifferentSizes) {
  Region small = Region::FromRect(Rect{0, 0, 5, 5});
  Region large = Region::FromRect(Rect{10, 10, 5, 5});
  small.Add(large);
  EXPECT_TRUE(small.Contains(12, 12));
  EXPECT_TRUE(small.Contains(1, 1));
  small.Subtract(Region::FromRect(Rect{0, 0, 2, 2}));
  EXPECT_FALSE(small.Contains(1, 1));
  EXPECT_TRUE(small.Contains(3, 3));
}

TEST(RegionTest, AbsurdCoordinatesAreCutNotAllocated) {
  Region region = Region::FromRect(Rect{-5, -5, 1 << 30, 1 << 30});
  EXPECT_TRUE(region.Contains(0, 0));
  EXPECT_LE(region.width(), 8192);
  std::vector<Point> wild = {{-100000, 0}, {2000000000, 5}, {0, 2000000000}};
  Region polygon = Region::FromPolygon(wild, PolygonFill::Winding);
  EXPECT_LE(polygon.height(), 8192);
  EXPECT_TRUE(Region().Empty());
  EXPECT_TRUE(Region::FromPolygon(std::vector<Point>{{0, 0}, {5, 5}}, PolygonFill::Winding).Empty());
}

}  // namespace
}  // namespace tolmeo
