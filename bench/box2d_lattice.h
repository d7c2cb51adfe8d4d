#pragma once

// The program's lattice built in Box2D 2.4, the general 2D engine a user
// would otherwise pick: the anchor the step is compared with. It is not the
// same physics (a soft distance joint per spring, gravity in metres, an
// iterative solver), only the same structure doing the same kind of work.

#include <box2d/box2d.h>

class Box2DLattice {
public:
    /// columns x rows bodies 0.8 m apart, the bottom row static, joined as
    /// the program joins its masses: to the right, below and below-right.
    /// Every joint is a spring of 4 Hz with damping ratio 0.1; the bodies
    /// never collide, and none ever sleeps.
    Box2DLattice(int columns, int rows);

    /// One step of 1/60 s, 8 velocity and 3 position iterations.
    void step();

    /// Joints, one per spring of the program's lattice.
    int springCount() const { return m_world.GetJointCount(); }
    /// Height of the top-left body, in metres.
    float corner() const { return m_corner->GetPosition().y; }

private:
    b2World m_world;
    b2Body* m_corner = nullptr;
};
