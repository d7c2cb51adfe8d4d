#include "soak.h"

#include <cmath>
#include <sstream>

namespace {

class NoSurface : public Surface {
public:
    void Line(double, double, double, double, std::int32_t) override {}
};

} // namespace

Soak::Soak(std::uint64_t seed) : m_random(seed)
{
    rebuild();
}

void Soak::rebuild()
{
    m_sim.Init();
    m_broken.assign(117, false);
    m_pinnedAt.clear();
    for (int i = m_sim.LBound(); i <= m_sim.UBound(); ++i) {
        if (m_sim.Masses(i).Fixed) {
            m_pinnedAt.push_back(m_sim.Masses(i).X);
            m_pinnedAt.push_back(m_sim.Masses(i).Y);
        }
    }
}

void Soak::act()
{
    std::uniform_int_distribution<int> percent(0, 999);
    const int what = percent(m_random);
    if (what < 700) {
        // A pointer move: mostly the left button alone, but every mask; mostly
        // over the picture, sometimes far outside it; any radius.
        const int button = percent(m_random) < 600 ? 1 : std::uniform_int_distribution<int>(0, 7)(m_random);
        float x;
        float y;
        if (percent(m_random) < 900) {
            x = std::uniform_real_distribution<float>(-1000, 11000)(m_random);
            y = std::uniform_real_distribution<float>(-1000, 8500)(m_random);
        } else {
            ++cutsFarOutside;
            // Anywhere a float reaches.
            std::uniform_real_distribution<double> anywhere(-3e38, 3e38);
            x = static_cast<float>(anywhere(m_random));
            y = static_cast<float>(anywhere(m_random));
        }
        const auto radius = static_cast<std::int16_t>(std::uniform_int_distribution<int>(100, 3000)(m_random));
        m_sim.Cut(button, x, y, radius);
        ++cuts;
    } else if (what < 995) {
        m_sim.SetFirstMass(static_cast<std::int16_t>(std::uniform_int_distribution<int>(1, 80)(m_random)));
        ++sliderMoves;
    } else {
        rebuild();
        ++rebuilds;
    }
}

std::string Soak::check(long frame)
{
    std::ostringstream fault;
    if (m_sim.LBound() != 1 || m_sim.UBound() != 48)
        fault << "the lattice has slots " << m_sim.LBound() << ".." << m_sim.UBound();
    std::size_t spring = 0;
    std::size_t pinned = 0;
    for (int i = 1; i <= 48 && fault.tellp() == 0; ++i) {
        Mass& m = m_sim.Masses(i);
        for (double v : {m.X, m.Y, m.Vx, m.Vy, m.Ax, m.Ay, m.Fx, m.Fy, m.M})
            if (!std::isfinite(v))
                fault << "mass " << i << " has a value that is not finite";
        if (m.Fixed) {
            if (pinned + 1 >= m_pinnedAt.size() || m.X != m_pinnedAt[pinned] || m.Y != m_pinnedAt[pinned + 1])
                fault << "pinned mass " << i << " moved to " << m.X << ", " << m.Y;
            pinned += 2;
        }
        for (int n = 1; n <= m.SpringCount(); ++n, ++spring) {
            if (spring >= m_broken.size())
                break;
            const bool broken = m.GetSpring(n)->Broken;
            if (m_broken[spring] && !broken)
                fault << "spring " << n << " of mass " << i << " mended";
            if (broken && !m_broken[spring])
                ++springsBroken;
            m_broken[spring] = broken;
        }
    }
    if (fault.tellp() == 0 && spring != 117)
        fault << "the lattice has " << spring << " springs";
    if (fault.tellp() == 0 && pinned != m_pinnedAt.size())
        fault << "the lattice has " << pinned / 2 << " pinned masses";
    if (fault.tellp() != 0)
        fault << " after frame " << frame;
    return fault.str();
}

std::string Soak::run(long frames)
{
    NoSurface surface;
    std::uniform_int_distribution<int> eventsPerFrame(0, 3);
    for (long frame = 1; frame <= frames; ++frame) {
        m_sim.Step(surface);
        for (int e = eventsPerFrame(m_random); e > 0; --e)
            act();
        if (std::string fault = check(frame); !fault.empty())
            return fault;
    }
    return {};
}
