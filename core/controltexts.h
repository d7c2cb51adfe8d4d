#pragma once

#include <string>
#include <string_view>
#include <utility>

/// What the window and the page say: the caption, the buttons' captions, and
/// for every control the name a screen reader announces, its description and
/// the tip that hovering over it shows. Both front ends take them from here.
namespace texts {

inline constexpr std::string_view Caption = "Tovek Marlund - Quellith - Click on the structure";
/// The name the program reports errors under.
inline constexpr std::string_view ProgramName = "Spring Lattice";

inline constexpr std::string_view ExitCaption = "Exit";
inline constexpr std::string_view NewSimulationCaption = "New Simulation";

inline constexpr std::string_view PictureName = "Spring lattice";
inline constexpr std::string_view PictureDescription =
    "The lattice of masses and springs. Dragging over it with the left button cuts the springs of every mass within "
    "the cutting radius of the pointer.";
inline constexpr std::string_view PictureTip = "Drag with the left button to cut the structure";
/// The picture's description and tip, and the radius bar's description, as
/// a touch screen words them.
inline constexpr std::string_view PictureDescriptionFinger =
    "The lattice of masses and springs. Dragging a finger over it cuts the springs of every mass within the "
    "cutting radius of the finger.";
inline constexpr std::string_view PictureTipFinger = "Drag a finger over the structure to cut it";

inline constexpr std::string_view ExitDescription = "Ends the program.";
inline constexpr std::string_view ExitTip = "End the program";

inline constexpr std::string_view MassName = "Mass of the top-left mass";
inline constexpr std::string_view MassDescription =
    "Sets the mass of the top-left mass, from 1 to 80. New Simulation makes it 1 again until the bar next moves.";

inline constexpr std::string_view RadiusName = "Cutting radius";
inline constexpr std::string_view RadiusDescription =
    "Sets how near to the pointer, in twips, a mass must be for a drag to cut its springs, from 100 to 3000.";
inline constexpr std::string_view RadiusDescriptionFinger =
    "Sets how near to the finger, in twips, a mass must be for a drag to cut its springs, from 100 to 3000.";

inline constexpr std::string_view NewSimulationDescription =
    "Rebuilds the lattice at rest, every cut undone. The scroll bars keep their values; the top-left mass is 1 again "
    "until the mass bar next moves.";
inline constexpr std::string_view NewSimulationTip =
    "Rebuild the lattice at rest; the top-left mass is 1 again until you move its bar";

/// Every text above by its name, as the page reads them.
inline constexpr std::pair<std::string_view, std::string_view> ByName[] = {
    {"Caption", Caption},
    {"ProgramName", ProgramName},
    {"ExitCaption", ExitCaption},
    {"NewSimulationCaption", NewSimulationCaption},
    {"PictureName", PictureName},
    {"PictureDescription", PictureDescription},
    {"PictureTip", PictureTip},
    {"PictureDescriptionFinger", PictureDescriptionFinger},
    {"PictureTipFinger", PictureTipFinger},
    {"ExitDescription", ExitDescription},
    {"ExitTip", ExitTip},
    {"MassName", MassName},
    {"MassDescription", MassDescription},
    {"RadiusName", RadiusName},
    {"RadiusDescription", RadiusDescription},
    {"RadiusDescriptionFinger", RadiusDescriptionFinger},
    {"NewSimulationDescription", NewSimulationDescription},
    {"NewSimulationTip", NewSimulationTip},
};

/// A mass as a person writes it. The lattice's masses are whole (1 when it
/// is built, then the bar's values) and show without a point; any other
/// shows to millionths without trailing zeros, and one beyond a trillion,
/// which nothing here makes, with a power of ten after it.
std::string shownMass(double mass);

/// The mass bar's tip: its value, and where New Simulation has made the
/// top-left mass something else since, that mass.
std::string massTip(int value, double mass);
/// The radius bar's tip, with its value.
std::string radiusTip(int value);

/// The message of a run-time error: its number and its description.
std::string runtimeErrorMessage(int number, std::string_view description);

} // namespace texts
