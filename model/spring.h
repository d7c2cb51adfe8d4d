#pragma once

class Mass;

/// An elastic link between two masses. It belongs to the mass that created
/// it (its fromMass) and refers to both ends without owning them.
class Spring {
public:
    /// Stiffness: force per twip away from the rest length.
    double k = 1.0;
    /// Rest length in twips; set to the present length when the far end is joined.
    double oLength = 1.0;
    /// Minimum length; kept with the spring, read by nothing.
    double MinLength = 1.0;
    /// First end: the mass whose spring table holds this spring (none when null).
    Mass* fromMass = nullptr;
    /// Second end (none when null).
    Mass* toMass = nullptr;
    /// The force pass breaks the spring when its force exceeds this.
    double BreakF = 50.0;
    /// Broken or cut: exerts no force and is not drawn. Never mends.
    bool Broken = false;

    /// Joins the far end and takes the present distance as the rest length.
    void AddMass(Mass& ms);
    /// Distance between the positions of two masses; uses nothing of this spring.
    double Dist(const Mass& obj1, const Mass& obj2) const;
    /// toMass.X - fromMass.X.
    double GetDeltaX() const;
    /// toMass.Y - fromMass.Y.
    double GetDeltaY() const;
    /// Magnitude of the elastic force: |length - oLength| * k.
    double GetForce() const;
    /// Present distance between the two ends.
    double GetLength() const;
};
