#include "description.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "controltexts.h"
#include "form.h"
#include "simulation.h"

namespace {

/// The picture's area in twips: a mass outside it has fallen out of it.
constexpr double PictureWidth = form::Picture1.width * form::TwipsPerPixel;
constexpr double PictureHeight = form::Picture1.height * form::TwipsPerPixel;

bool inPicture(const Mass& mass)
{
    return mass.X >= 0 && mass.X <= PictureWidth && mass.Y >= 0 && mass.Y <= PictureHeight;
}

/// Calls visit(slot, spring) for every spring, in the lattice's order: the
/// masses by slot, each mass's springs as it made them.
template <typename Visit>
void forEachSpring(Simulation& lattice, Visit&& visit)
{
    for (int i = lattice.LBound(); i <= lattice.UBound(); ++i) {
        Mass& mass = lattice.Masses(i);
        for (int n = 1; n <= mass.SpringCount(); ++n)
            visit(i, mass.spring(n));
    }
}

/// Where a mass stands on the lattice's grid, by its slot: column from the
/// left, row from the top.
struct GridPoint {
    double column;
    double row;
};

GridPoint gridOf(int slot)
{
    return {static_cast<double>((slot - 1) % Simulation::Columns), static_cast<double>((slot - 1) / Simulation::Columns)};
}

/// The middle of a spring of the mass in slot on the grid.
GridPoint middleOf(Simulation& lattice, int slot, const Spring& spring)
{
    const GridPoint from = gridOf(slot);
    for (int i = lattice.LBound(); i <= lattice.UBound(); ++i) {
        if (&lattice.Masses(i) == spring.toMass) {
            const GridPoint to = gridOf(i);
            return {(from.column + to.column) / 2, (from.row + to.row) / 2};
        }
    }
    return from;
}

/// "1 spring", "6 springs".
std::string counted(int n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

/// A place on the lattice as a listener can picture it.
std::string placeOf(double column, double row, double columnSpan, double rowSpan, double topRow, double bottomRow)
{
    const double lastColumn = Simulation::Columns - 1, lastRow = Simulation::Rows - 1;
    const std::string across = column < lastColumn / 3 ? "left" : column > 2 * lastColumn / 3 ? "right" : "middle";
    const std::string down = row < lastRow / 3 ? "top" : row > 2 * lastRow / 3 ? "bottom" : "middle";
    if (topRow == lastRow && bottomRow == lastRow)
        return "along the bottom row";
    if (columnSpan >= lastColumn / 2)
        return "across the " + down;
    if (rowSpan >= lastRow / 2)
        return across == "middle" ? "down the middle" : "down the " + across + " side";
    if (across == "middle")
        return down == "middle" ? "in the middle" : "near the " + down + " middle";
    if (down == "middle")
        return "on the " + across + " side";
    return "at the " + down + "-" + across + " corner";
}

} // namespace

void Description::Tally::add(double c, double r)
{
    minColumn = count == 0 ? c : std::min(minColumn, c);
    maxColumn = count == 0 ? c : std::max(maxColumn, c);
    minRow = count == 0 ? r : std::min(minRow, r);
    maxRow = count == 0 ? r : std::max(maxRow, r);
    column += c;
    row += r;
    ++count;
}

std::string Description::Tally::place() const
{
    return placeOf(column / count, row / count, maxColumn - minColumn, maxRow - minRow, minRow, maxRow);
}

bool Description::settled(Simulation& lattice)
{
    // The force on each mass where the masses are now, as the next frame's
    // force pass will find it, whatever the last frame found: right after a
    // rebuild, a cut or a new weight the lattice is at rest but not in
    // balance.
    const int first = lattice.LBound(), count = lattice.UBound() - first + 1;
    std::vector<double> fx(static_cast<std::size_t>(count)), fy(static_cast<std::size_t>(count));
    const auto slotOf = [&](const Mass* mass) {
        for (int i = 0; i < count; ++i)
            if (&lattice.Masses(first + i) == mass)
                return i;
        return -1;
    };
    forEachSpring(lattice, [&](int slot, const Spring& spring) {
        const int to = slotOf(spring.toMass);
        if (spring.Broken || to < 0)
            return;
        // As the force pass shares it: the force over the rest length, along
        // the vector between the ends, pulling them together when stretched.
        const double pull = (spring.GetLength() > spring.oLength ? 1 : -1) * spring.GetForce() / spring.oLength;
        const auto from = static_cast<std::size_t>(slot - first);
        fx[from] += pull * spring.GetDeltaX();
        fy[from] += pull * spring.GetDeltaY();
        fx[static_cast<std::size_t>(to)] -= pull * spring.GetDeltaX();
        fy[static_cast<std::size_t>(to)] -= pull * spring.GetDeltaY();
    });
    for (int i = 0; i < count; ++i) {
        const Mass& m = lattice.Masses(first + i);
        if (m.Fixed || !inPicture(m))
            continue;
        const double ax = fx[static_cast<std::size_t>(i)] / m.M, ay = (fy[static_cast<std::size_t>(i)] + m.M) / m.M;
        if (std::fabs(m.Vx) >= RestSpeed || std::fabs(m.Vy) >= RestSpeed || std::fabs(ax) >= RestAcceleration
            || std::fabs(ay) >= RestAcceleration)
            return false;
    }
    return true;
}

std::string Description::summary(Simulation& lattice)
{
    int springs = 0, holding = 0;
    double load = -1;
    std::optional<GridPoint> loaded;
    forEachSpring(lattice, [&](int slot, const Spring& spring) {
        ++springs;
        if (spring.Broken)
            return;
        ++holding;
        if (const double share = spring.GetForce() / spring.BreakF; share > load) {
            load = share;
            loaded = middleOf(lattice, slot, spring);
        }
    });
    int masses = 0, shown = 0;
    for (int i = lattice.LBound(); i <= lattice.UBound(); ++i) {
        ++masses;
        shown += inPicture(lattice.Masses(i)) ? 1 : 0;
    }

    std::string words = holding == springs ? "All " + counted(springs, "spring holds", "springs hold")
                                           : std::to_string(holding) + " of " + counted(springs, "spring holds", "springs hold");
    words += shown == masses ? ", and all " + counted(masses, "mass is", "masses are") + " in the picture."
                             : "; " + std::to_string(shown) + " of " + counted(masses, "mass is", "masses are")
                                   + " in the picture.";
    if (const double weight = lattice.Masses(1).M; weight != 1)
        words += " The top-left mass weighs " + texts::shownMass(weight) + ".";
    if (loaded) {
        const long percent = std::min(100L, std::lround(load * 100));
        words += percent == 0 ? std::string(" No spring is under load.")
                              : " The most loaded spring, "
                                    + placeOf(loaded->column, loaded->row, 0, 0, loaded->row, loaded->row) + ", is at "
                                    + std::to_string(percent) + " % of its breaking force.";
    }
    return words + (settled(lattice) ? " The lattice has settled." : " The lattice is still moving.");
}

bool Description::look(Simulation& lattice, Tally& tally)
{
    bool any = false;
    std::size_t k = 0;
    forEachSpring(lattice, [&](int slot, const Spring& spring) {
        if (k == m_broken.size())
            m_broken.push_back(false);
        if (spring.Broken && !m_broken[k]) {
            const GridPoint middle = middleOf(lattice, slot, spring);
            tally.add(middle.column, middle.row);
            any = true;
        }
        m_broken[k++] = spring.Broken;
    });
    return any;
}

void Description::rebuilt(Simulation& lattice, bool byNewSimulation)
{
    m_broken.clear();
    look(lattice, m_broke);
    m_cut = m_broke = {};
    m_outBefore = 0;
    m_newSimulation = byNewSimulation;
    m_byUser = byNewSimulation;
    m_massSet = false;
    m_pending = true;
    m_since.reset();
}

void Description::massSet()
{
    m_massSet = m_byUser = m_pending = true;
}

void Description::beforeCut(Simulation& lattice)
{
    look(lattice, m_broke);
}

void Description::afterCut(Simulation& lattice)
{
    if (look(lattice, m_cut))
        m_byUser = m_pending = true;
}

std::string Description::account(Simulation& lattice) const
{
    int out = 0;
    for (int i = lattice.LBound(); i <= lattice.UBound(); ++i)
        out += inPicture(lattice.Masses(i)) ? 0 : 1;
    const int fell = out - m_outBefore;
    std::vector<std::string> happened;
    if (m_cut.count > 0)
        happened.push_back(counted(m_cut.count, "spring", "springs") + " cut " + m_cut.place());
    if (m_broke.count > 0)
        happened.push_back(counted(m_broke.count, "spring", "springs") + " broke " + m_broke.place());
    if (fell > 0)
        happened.push_back(counted(fell, "mass", "masses") + " fell out of the picture");
    std::string told;
    for (const std::string& part : happened)
        told += (told.empty() ? "" : "; ") + part;

    const std::size_t springs = m_broken.size();
    const auto holding = static_cast<std::size_t>(std::count(m_broken.begin(), m_broken.end(), false));
    std::string words;
    if (m_newSimulation)
        words = told.empty() && !m_massSet ? "New Simulation: all " + std::to_string(springs) + " springs hold."
                                           : "New Simulation.";
    if (m_massSet)
        words += (words.empty() ? "" : " ") + ("The top-left mass weighs " + texts::shownMass(lattice.Masses(1).M)
                                               + ": " + (told.empty() ? "no spring broke" : told) + ".");
    else if (!told.empty())
        words += (words.empty() ? "" : " ") + std::string(1, static_cast<char>(std::toupper(told[0]))) + told.substr(1)
                 + ".";
    if (m_cut.count + m_broke.count > 0)
        words += " " + std::to_string(holding) + " of " + std::to_string(springs) + " springs hold.";
    return words;
}

std::optional<Description::Words> Description::shown(Simulation& lattice, std::int64_t now)
{
    if (!m_pending)
        return std::nullopt;
    look(lattice, m_broke);
    const bool rest = settled(lattice);
    if (!m_since)
        m_since = now;
    if (!rest && now - *m_since < Interval)
        return std::nullopt;
    m_since = now;
    Words words;
    if (std::string summary = Description::summary(lattice); summary != m_summary)
        words.summary = m_summary = std::move(summary);
    if (m_byUser) {
        if (std::string account = Description::account(lattice); account != m_account)
            words.account = m_account = std::move(account);
    }
    if (rest) {
        // Told whole: what follows is another change.
        m_pending = m_byUser = m_newSimulation = m_massSet = false;
        m_cut = m_broke = {};
        m_outBefore = 0;
        for (int i = lattice.LBound(); i <= lattice.UBound(); ++i)
            m_outBefore += inPicture(lattice.Masses(i)) ? 0 : 1;
        m_since.reset();
    }
    if (words.summary.empty() && words.account.empty())
        return std::nullopt;
    return words;
}
