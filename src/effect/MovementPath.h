#pragma once
#include <cstdint>
#include <vector>

namespace Effect {

class EffectItemNumber;

// The up to three coordinates a path movement reads: the item, then the next
// two members of its group (cyclically) when they share its movement and
// flags, else the item again.
class MovementPath {
public:
    struct Point {
        double v[3] = {0, 0, 0};
    };

    explicit MovementPath(const EffectItemNumber& item);

    Point key(int32_t index) const;
    static double distance(const Point& a, const Point& b);
    // Chord lengths between keys 0..n.
    std::vector<double> chords(int32_t sections) const;

private:
    const EffectItemNumber* coordinates_[3];
};

// The cubic Bezier through a, c1, c2, b at t.
double bezier(double a, double c1, double c2, double b, double t);
// The arc-length walk of the time-controlled movements: the segment and the
// local parameter for the distance fraction q.
struct WalkResult {
    int32_t segment = 0;
    double t = 0;
};
WalkResult walkChords(const std::vector<double>& chords, double q);

// Points combined as (5/3) a - b + (1/3) c: the extrapolated end of a spline.
MovementPath::Point extrapolate(const MovementPath::Point& a, const MovementPath::Point& b,
                                const MovementPath::Point& c);
// The first coordinate of the spline segment Pb..Pc with the neighbours Pa and
// Pd at the eased parameter u (tangents weighted by the chord lengths).
double splineValue(const MovementPath::Point& pa, const MovementPath::Point& pb, const MovementPath::Point& pc,
                   const MovementPath::Point& pd, double u);
// The easing curve from 0 to 1 with the inner control values y1 and y2.
double easeCurve(double t, double y1, double y2);

}  // namespace Effect
