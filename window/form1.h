#pragma once

#include <QWidget>

#include "frameloop.h"
#include "core/program.h"

class PictureBox;
class QPushButton;
class QScrollBar;

/// The program's window: the picture area on which the lattice is drawn and
/// cut, the mass slider and the cutting radius slider, "New Simulation" and
/// "Exit". It runs one frame after another, with the user's events handled
/// between two frames: without limit, or at a pace chosen for slow motion.
/// It hands every event to the program, shows its picture, and when the
/// program tells it has ended, stops and shows its run-time error in a
/// message box.
class Form1 : public QWidget {
    Q_OBJECT

    /// The program the window runs, the picture area shows and every handler
    /// hands its event to.
    Program m_program;
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

    /// The program the window runs, and its lattice: for tests and probes.
    Program& program() { return m_program; }
    Simulation& simulation() { return m_program.simulation(); }

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
    /// Slow motion's timer failed: the program ends as at a run-time error.
    void onFramesFailed(const QString& reason);

    /// The program has ended, told from inside the call that ended it (a
    /// handler, a frame, a paint): no frame runs any more, the form takes no
    /// more input, and the program is to end with status 1 after a run-time
    /// error, whose line goes to standard error at once, else 0. The error's
    /// box opens from the event loop, once the call has returned.
    void onProgramEnded();
    /// Shows the run-time error's box, then ends the program.
    void reportError();
    /// New words of the lattice for a screen reader: the summary follows the
    /// picture's usage text in its description, and the latest account of a
    /// change is the window's description, each told to an assistive
    /// technology as a change of the description.
    void onDescribed(const Description::Words& words);

    FrameLoop m_frames;
    /// Swallows the form's input once the program has ended.
    QObject* m_inputStop = nullptr;
};
