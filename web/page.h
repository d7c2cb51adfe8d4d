#pragma once

class Simulation;

/// The lattice the page shows.
Simulation& pageSimulation();
