#pragma once
// The designed ground surface as a continuous function of world (x, z): a meadow of low
// rolling noise, hills rising towards the edges, a lake bowl, the cottage pad with its
// yard, and small level spots under every placed object. The height-map image and the
// baked light map are both sampled from it.

#include <vector>

class TerrainShape {
public:
    TerrainShape();

    // Ground height in world units at world (x, z); defined for any x, z.
    double heightAt(double x, double z) const;

private:
    double naturalHeight(double x, double z) const;
    double levelledHeight(double x, double z) const;

    std::vector<double> settleTargets; // natural height under each placement, world units
    double questLampTarget = 0.0;
};
