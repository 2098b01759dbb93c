// Scene geometry: every disc stays inside the window whatever its size and
// the time, the animation moves and repeats, and empty areas draw nothing.
#include "SceneMotion.h"

#include <gtest/gtest.h>

using namespace scene;
using project::SceneKind;

TEST(SceneMotion, DiscsStayInsideEveryWindow)
{
    struct Size {
        const char* rule;
        int width, height;
    } sizes[] = {
        {"full screen", 1024, 768},
        {"preview window", 152, 112},
        {"tall", 40, 900},
        {"wide", 900, 40},
        {"tiny", 3, 3},
        {"smallest drawn", 2, 2},
    };
    for (SceneKind kind : {SceneKind::orbit, SceneKind::ripples}) {
        for (const Size& size : sizes) {
            for (double seconds = 0.0; seconds < 9.0; seconds += 0.37) {
                for (const Disc& d : SceneDiscs(kind, seconds, 3.0, size.width, size.height)) {
                    SCOPED_TRACE(size.rule);
                    EXPECT_GE(d.radius, 1);
                    EXPECT_GE(d.centreX - d.radius, 0);
                    EXPECT_GE(d.centreY - d.radius, 0);
                    EXPECT_LE(d.centreX + d.radius, size.width);
                    EXPECT_LE(d.centreY + d.radius, size.height);
                    EXPECT_GE(d.strength, 0.0);
                    EXPECT_LE(d.strength, 1.0);
                }
            }
        }
    }
}

TEST(SceneMotion, EmptyAreasDrawNothing)
{
    struct Size {
        int width, height;
    } sizes[] = {{0, 0}, {1, 500}, {500, 1}, {-5, 100}, {100, -5}};
    for (const Size& size : sizes)
        EXPECT_TRUE(SceneDiscs(SceneKind::orbit, 1.0, 1.0, size.width, size.height).empty())
            << size.width << "x" << size.height;
}

bool SamePicture(const std::vector<Disc>& a, const std::vector<Disc>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].centreX != b[i].centreX || a[i].centreY != b[i].centreY ||
            a[i].radius != b[i].radius)
            return false;
    }
    return true;
}

TEST(SceneMotion, ScenesMoveRepeatAndFollowTheSpeed)
{
    for (SceneKind kind : {SceneKind::orbit, SceneKind::ripples}) {
        auto at = [kind](double seconds, double speed) {
            return SceneDiscs(kind, seconds, speed, 640, 480);
        };
        EXPECT_FALSE(SamePicture(at(0.0, 1.0), at(0.5, 1.0))) << "the scene moves";
        EXPECT_TRUE(SamePicture(at(0.5, 1.0), at(4.5, 1.0))) << "one cycle lasts four seconds";
        EXPECT_TRUE(SamePicture(at(1.0, 2.0), at(2.0, 1.0))) << "twice the speed, twice as far";
    }
}
