#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Simulation;

/// The lattice in words, for a listener who cannot see the picture: a
/// summary of what it is now, and an account of what the user's actions have
/// brought about. Both are counted from the lattice once a picture is shown,
/// or when an action asks, never in a frame. An account is due once the
/// lattice has settled after the action, or every Interval while it moves;
/// it tells everything since the lattice last settled, and never the same
/// words twice in a row.
class Description {
public:
    /// Between two accounts while the lattice moves: nanoseconds.
    static constexpr std::int64_t Interval = 2'000'000'000;
    /// Below this speed (twips a frame) and this acceleration (twips a frame
    /// squared) in both directions, a mass in the picture is at rest; the
    /// lattice has settled when all of them are.
    static constexpr double RestSpeed = 0.001;
    static constexpr double RestAcceleration = 0.0001;

    /// What is new to be told: the summary where it has changed, the account
    /// where there is one; each empty otherwise.
    struct Words {
        std::string summary;
        std::string account;
    };

    /// What the lattice is now, in a few sentences: how many springs hold and
    /// masses are in the picture, the top-left mass's weight where it is not
    /// 1, the most loaded spring's share of its breaking force and where it
    /// is, and whether the lattice still moves.
    static std::string summary(Simulation& lattice);
    /// Whether every mass in the picture that is not pinned is at rest.
    static bool settled(Simulation& lattice);

    /// The lattice has been built anew: at the start, or by New Simulation.
    void rebuilt(Simulation& lattice, bool byNewSimulation);
    /// The mass bar has set the top-left mass.
    void massSet();
    /// Before and after a pointer move that may cut: springs that broke
    /// before it broke under their load, those it broke were cut.
    void beforeCut(Simulation& lattice);
    void afterCut(Simulation& lattice);
    /// A picture of the lattice is shown at now (nanoseconds on the front
    /// end's clock): the words, where any are due and new.
    std::optional<Words> shown(Simulation& lattice, std::int64_t now);

private:
    /// Springs that broke for one cause, and where: the sums and bounds of
    /// their middles on the lattice's grid (columns 0 to 7 from the left,
    /// rows 0 to 5 from the top).
    struct Tally {
        int count = 0;
        double column = 0;
        double row = 0;
        double minColumn = 0;
        double maxColumn = 0;
        double minRow = 0;
        double maxRow = 0;
        void add(double c, double r);
        std::string place() const;
    };
    /// Springs broken since the last look go to the tally; cut says whether
    /// anything did.
    bool look(Simulation& lattice, Tally& tally);
    std::string account(Simulation& lattice) const;

    /// Which springs were broken at the last look, in the lattice's order.
    std::vector<bool> m_broken;
    /// Since the lattice last settled: what is to be told, what happened.
    bool m_pending = false;
    bool m_byUser = false;
    bool m_newSimulation = false;
    bool m_massSet = false;
    Tally m_cut;
    Tally m_broke;
    int m_outBefore = 0;
    /// When the changes began, or were last told while the lattice moved.
    std::optional<std::int64_t> m_since;
    std::string m_summary;
    std::string m_account;
};
