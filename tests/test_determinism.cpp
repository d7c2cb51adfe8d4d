// Scripted runs hashed to the last bit. The same test is built against the
// core compiled at -O0 and at -O2; both must give the pinned constants.
#include <cstdio>
#include <functional>

#include "support.h"
#include "core/simulation.h"

namespace {

/// FNV-1a over raw bytes.
class Hash {
public:
    template <typename T>
    void add(const T& value)
    {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char b : bytes) {
            m_value ^= b;
            m_value *= 0x100000001b3ULL;
        }
    }
    std::uint64_t value() const { return m_value; }

private:
    std::uint64_t m_value = 0xcbf29ce484222325ULL;
};

/// Hashes every line drawn.
class HashingSurface : public Surface {
public:
    Hash hash;
    void Line(double x1, double y1, double x2, double y2, std::int32_t colour) override
    {
        hash.add(x1);
        hash.add(y1);
        hash.add(x2);
        hash.add(y2);
        hash.add(colour);
    }
};

std::uint64_t stateHash(Simulation& sim)
{
    Hash h;
    for (int i = sim.LBound(); i <= sim.UBound(); ++i) {
        Mass& m = sim.Masses(i);
        for (double v : {m.X, m.Y, m.Vx, m.Vy, m.Ax, m.Ay, m.Fx, m.Fy, m.M})
            h.add(v);
        h.add(m.Fixed);
        for (int n = 1; n <= m.SpringCount(); ++n) {
            const auto s = m.GetSpring(n);
            for (double v : {s->k, s->oLength, s->MinLength, s->BreakF})
                h.add(v);
            h.add(s->Broken);
        }
    }
    return h.value();
}

struct Outcome {
    std::uint64_t state;
    std::uint64_t lines;
    double firstY; // a readable value to print on mismatch
};

Outcome run(const std::function<void(Simulation&, HashingSurface&)>& script)
{
    Simulation sim;
    HashingSurface surface;
    script(sim, surface);
    return {stateHash(sim), surface.hash.value(), sim.Masses(1).Y};
}

void frames(Simulation& sim, Surface& surface, int count)
{
    for (int i = 0; i < count; ++i)
        sim.Step(surface);
}

void expectRun(const char* name, const Outcome& got, std::uint64_t state, std::uint64_t lines)
{
    EXPECT_EQ(got.state, state) << name << ": state hash 0x" << std::hex << got.state << ", mass 1 at y "
                                << std::hexfloat << got.firstY;
    EXPECT_EQ(got.lines, lines) << name << ": line hash 0x" << std::hex << got.lines;
}

TEST(Determinism, Sag)
{
    const Outcome got = run([](Simulation& sim, HashingSurface& s) {
        sim.Init();
        frames(sim, s, 3000);
    });
    expectRun("sag", got, 0x90a5a866796a69ed, 0xeda61296fc0a18ce);
}

TEST(Determinism, DragCut)
{
    const Outcome got = run([](Simulation& sim, HashingSurface& s) {
        sim.Init();
        frames(sim, s, 300);
        // A drag from left to right through the third row, one move a frame.
        for (int x = 1000; x <= 8000; x += 250) {
            sim.Cut(1, static_cast<float>(x), 2900.5f, 400);
            sim.Step(s);
        }
        frames(sim, s, 2000);
    });
    expectRun("drag cut", got, 0x8c7d079b7e9c1745, 0xfeeae4f90a3ee00a);
}

TEST(Determinism, HeavyCorner)
{
    const Outcome got = run([](Simulation& sim, HashingSurface& s) {
        sim.Init();
        for (std::int16_t m = 1; m <= 80; m += 2) {
            sim.SetFirstMass(m);
            frames(sim, s, 10);
        }
        sim.SetFirstMass(80);
        frames(sim, s, 3000);
    });
    expectRun("heavy corner", got, 0xe8cbad1522088ca0, 0xbdeaa8571b1483f1);
}

TEST(Determinism, Rebuild)
{
    const Outcome got = run([](Simulation& sim, HashingSurface& s) {
        sim.Init();
        sim.SetFirstMass(40);
        frames(sim, s, 500);
        sim.Cut(1, 4000.25f, 3600.75f, 1500);
        frames(sim, s, 500);
        sim.Init();
        frames(sim, s, 1000);
    });
    expectRun("rebuild", got, 0x1e7148ee58fc1ff4, 0x7414339b06e215a5);
}

} // namespace
