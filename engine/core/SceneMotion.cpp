// Geometry of the two scenes: "orbit", discs circling the centre on a
// breathing radius, and "ripples", rings of discs growing out of the centre.
#include "SceneMotion.h"

#include <math.h>

#include <algorithm>

namespace scene {

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr int orbitDiscs = 8;
constexpr int rippleRings = 4;
constexpr int discsPerRing = 12;

// Clamps a disc so that it lies wholly inside the area.
Disc Fit(double x, double y, double radius, double strength, int width, int height)
{
    int r = std::max(1, static_cast<int>(radius));
    r = std::min(r, std::min(width, height) / 2);
    int cx = std::clamp(static_cast<int>(lround(x)), r, width - r);
    int cy = std::clamp(static_cast<int>(lround(y)), r, height - r);
    return {cx, cy, r, std::clamp(strength, 0.0, 1.0)};
}

std::vector<Disc> Orbit(double phase, int width, int height)
{
    std::vector<Disc> discs;
    double shortSide = std::min(width, height);
    double discRadius = shortSide / 14.0;
    double orbit = (shortSide / 2.0 - discRadius) * (0.75 + 0.25 * sin(phase * 0.5));
    for (int i = 0; i < orbitDiscs; ++i) {
        double angle = phase + i * 2.0 * pi / orbitDiscs;
        double strength = 0.4 + 0.6 * (i + 1) / orbitDiscs;
        discs.push_back(Fit(width / 2.0 + orbit * cos(angle), height / 2.0 + orbit * sin(angle),
                            discRadius, strength, width, height));
    }
    return discs;
}

std::vector<Disc> Ripples(double phase, int width, int height)
{
    std::vector<Disc> discs;
    double shortSide = std::min(width, height);
    double discRadius = shortSide / 40.0;
    double reach = shortSide / 2.0 - discRadius;
    for (int ring = 0; ring < rippleRings; ++ring) {
        // Each ring grows from the centre to the edge, fading as it goes.
        double growth = fmod(phase / (2.0 * pi) + static_cast<double>(ring) / rippleRings, 1.0);
        for (int i = 0; i < discsPerRing; ++i) {
            double angle = i * 2.0 * pi / discsPerRing + ring * 0.3;
            discs.push_back(Fit(width / 2.0 + reach * growth * cos(angle),
                                height / 2.0 + reach * growth * sin(angle), discRadius,
                                1.0 - growth, width, height));
        }
    }
    return discs;
}

}  // namespace

std::vector<Disc> SceneDiscs(project::SceneKind kind, double seconds, double speed, int width,
                             int height)
{
    if (width < 2 || height < 2) return {};
    // One turn every four seconds at speed 1.
    double phase = fmod(seconds * speed, 4.0) / 4.0 * 2.0 * pi;
    return kind == project::SceneKind::orbit ? Orbit(phase, width, height)
                                             : Ripples(phase, width, height);
}

}  // namespace scene
