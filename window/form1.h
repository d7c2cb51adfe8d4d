#pragma once

#include <QWidget>

#include <string>

#include "frameloop.h"
#include "core/simulation.h"

class PictureBox;
class QPushButton;
class QScrollBar;

/// The program's window: the picture area on which the lattice is drawn and
/// cut, the mass slider and the cutting radius slider, "New Simulation" and
/// "Exit". It runs one frame after another, with the user's events handled
/// between two frames: without limit, or at a pace chosen for slow motion.
class Form1 : public QWidget {
    Q_OBJECT

    /// The client area of the form's size, that holds the controls: the whole
    /// window, or what lies below the title bar where the window draws its own.
    QWidget* const m_client;

public:
    /// Caption of the window.
    static const QString Caption;
    /// The name the program reports errors under.
    static const QString ProgramName;

    /// stepsPerSecond: 0 for frames without limit, or at most that many
    /// frames a second.
    explicit Form1(int stepsPerSecond = 0);
    ~Form1() override;

    /// The program's main routine: shows the window, builds the lattice and
    /// starts the frames. The window and its controls exist, hidden, before.
    void Load();

    /// The lattice the window shows.
    Simulation& simulation() { return m_simulation; }

    /// Drawing surface of every frame; its pointer moves cut springs.
    PictureBox* const Picture1;
    /// "Exit": ends the program.
    QPushButton* const Command2;
    /// Mass slider: the mass of the top-left mass.
    QScrollBar* const HScroll1;
    /// Cutting radius in twips.
    QScrollBar* const HScroll2;
    /// "New Simulation": rebuilds the lattice.
    QPushButton* const Command1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void frame();
    void onNewSimulationClicked();
    void onExitClicked();
    void onMassSliderChanged(int value);
    void onPicturePointerMoved(int button, float x, float y);
    /// Sets the scroll bars' tips to their values, and shows the tip of a bar
    /// being dragged.
    void updateScrollBarTips();

    /// Runs one frame or handler; a run-time error in it is reported and ends
    /// the program. Once the program has ended nothing runs any more.
    template <typename Action>
    void guarded(Action&& action);
    void reportError(int number, const std::string& description);
    /// Ends the program with the given exit status: no further frame or
    /// handler runs.
    void end(int status);

    Simulation m_simulation;
    FrameLoop m_frames;
    bool m_ended = false;
};
