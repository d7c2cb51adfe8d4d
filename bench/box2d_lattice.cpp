#include "box2d_lattice.h"

#include "lattice.h"

#include <cfloat>
#include <vector>

namespace {

constexpr float Spacing = 0.8f;
constexpr float Radius = 0.1f;
constexpr float Hertz = 4.0f;
constexpr float DampingRatio = 0.1f;

} // namespace

Box2DLattice::Box2DLattice(int columns, int rows) : m_world(b2Vec2(0.0f, -10.0f))
{
    m_world.SetAllowSleeping(false);
    std::vector<b2Body*> bodies;
    b2CircleShape shape;
    shape.m_radius = Radius;
    b2FixtureDef fixture;
    fixture.shape = &shape;
    fixture.density = 1.0f;
    // One negative group: the lattice's bodies never collide with each other.
    fixture.filter.groupIndex = -1;
    for (int j = 1; j <= rows; ++j) {
        for (int i = 1; i <= columns; ++i) {
            b2BodyDef body;
            body.type = j == rows ? b2_staticBody : b2_dynamicBody;
            body.position.Set(Spacing * static_cast<float>(i), -Spacing * static_cast<float>(j));
            bodies.push_back(m_world.CreateBody(&body));
            bodies.back()->CreateFixture(&fixture);
        }
    }
    m_corner = bodies.front();

    const auto connect = [&](int a, int b) {
        b2Body* from = bodies[static_cast<std::size_t>(a - 1)];
        b2Body* to = bodies[static_cast<std::size_t>(b - 1)];
        b2DistanceJointDef joint;
        joint.Initialize(from, to, from->GetPosition(), to->GetPosition());
        // A spring, not a rod: free between no length and any length.
        joint.minLength = 0.0f;
        joint.maxLength = FLT_MAX;
        b2LinearStiffness(joint.stiffness, joint.damping, Hertz, DampingRatio, from, to);
        m_world.CreateJoint(&joint);
    };
    connectLattice(columns, rows, connect);
}

void Box2DLattice::step()
{
    m_world.Step(1.0f / 60.0f, 8, 3);
}
