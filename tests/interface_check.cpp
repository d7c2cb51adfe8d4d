// The public interface, exactly as other code is written against it.
#include "model/mass.h"
#include "model/runtime_error.h"
#include "model/spring.h"
#include "model/surface.h"
#include "core/simulation.h"

#include <cstddef>
#include <memory>
#include <type_traits>

static_assert(!std::is_copy_constructible_v<Mass> && !std::is_move_constructible_v<Mass>);
static_assert(std::is_base_of_v<std::exception, RuntimeError>);

// Fields of Spring in their order, with their types.
static_assert(std::is_same_v<decltype(Spring::k), double>);
static_assert(std::is_same_v<decltype(Spring::fromMass), Mass*>);
static_assert(std::is_same_v<decltype(Spring::Broken), bool>);
static_assert(offsetof(Spring, k) < offsetof(Spring, oLength) && offsetof(Spring, oLength) < offsetof(Spring, MinLength)
              && offsetof(Spring, MinLength) < offsetof(Spring, fromMass) && offsetof(Spring, fromMass) < offsetof(Spring, toMass)
              && offsetof(Spring, toMass) < offsetof(Spring, BreakF) && offsetof(Spring, BreakF) < offsetof(Spring, Broken));

using AddMassT = void (Spring::*)(Mass&);
using DistT = double (Spring::*)(const Mass&, const Mass&) const;
using QueryT = double (Spring::*)() const;
[[maybe_unused]] constexpr AddMassT addMass = &Spring::AddMass;
[[maybe_unused]] constexpr DistT dist = &Spring::Dist;
[[maybe_unused]] constexpr QueryT queries[] = {&Spring::GetDeltaX, &Spring::GetDeltaY, &Spring::GetForce, &Spring::GetLength};

[[maybe_unused]] constexpr int (Mass::*addSpring)() = &Mass::AddSpring;
[[maybe_unused]] constexpr void (Mass::*connectTo)(Mass&, double, double) = &Mass::ConnectTo;
[[maybe_unused]] constexpr void (Mass::*draw)(Surface&) const = &Mass::Draw;
[[maybe_unused]] constexpr void (Mass::*forces)() = &Mass::Forces;
[[maybe_unused]] constexpr bool (Mass::*hasSpring)() const = &Mass::HasSpring;
[[maybe_unused]] constexpr void (Mass::*move)() = &Mass::Move;
[[maybe_unused]] constexpr std::shared_ptr<Spring> (Mass::*getSpring)(int) = &Mass::GetSpring;
[[maybe_unused]] constexpr int (Mass::*springCount)() const = &Mass::SpringCount;
static_assert(std::is_same_v<decltype(Mass::X), double> && std::is_same_v<decltype(Mass::Fixed), bool>);

[[maybe_unused]] constexpr void (Surface::*line)(double, double, double, double, std::int32_t) = &Surface::Line;
[[maybe_unused]] constexpr int (RuntimeError::*number)() const = &RuntimeError::Number;

[[maybe_unused]] constexpr Mass& (Simulation::*masses)(int) = &Simulation::Masses;
[[maybe_unused]] constexpr int (Simulation::*lBound)() const = &Simulation::LBound;
[[maybe_unused]] constexpr int (Simulation::*uBound)() const = &Simulation::UBound;
[[maybe_unused]] constexpr void (Simulation::*init)() = &Simulation::Init;
[[maybe_unused]] constexpr void (Simulation::*step)(Surface&) = &Simulation::Step;
[[maybe_unused]] constexpr void (Simulation::*cut)(int, float, float, std::int16_t) = &Simulation::Cut;
[[maybe_unused]] constexpr void (Simulation::*setFirstMass)(std::int16_t) = &Simulation::SetFirstMass;
