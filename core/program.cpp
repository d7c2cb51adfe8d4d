#include "program.h"

#include <cmath>
#include <utility>

#include "controltexts.h"
#include "failure.h"
#include "form.h"

Program::Program(PixelPicture::Channels channels, std::optional<Pace> pace, EndHandler ended)
    : m_picture(channels), m_pace(std::move(pace)), m_endHandler(std::move(ended))
{
}

template <typename Action>
bool Program::run(Action&& action)
{
    if (m_ended)
        return false;
    return runReportingFailures(std::forward<Action>(action),
                                [this](int number, const std::string& description) { fail(number, description); });
}

void Program::end(int number, std::string message)
{
    m_ended = true;
    m_errorNumber = number;
    m_error = std::move(message);
    if (m_endHandler)
        m_endHandler();
}

void Program::fail(int number, const std::string& description)
{
    if (!m_ended)
        end(number, texts::runtimeErrorMessage(number, description));
}

void Program::exit()
{
    if (!m_ended)
        end(0, {});
}

bool Program::load(double pixelRatio)
{
    return resize(pixelRatio) && run([this] {
        m_simulation.Init();
        m_description.rebuilt(m_simulation, false);
    });
}

bool Program::frame()
{
    return run([this] {
        m_picture.Cls();
        m_simulation.Step(m_picture);
    });
}

bool Program::newSimulation()
{
    return run([this] {
        m_simulation.Init();
        m_description.rebuilt(m_simulation, true);
    });
}

bool Program::massChanged(int value)
{
    return run([this, value] {
        m_simulation.SetFirstMass(static_cast<std::int16_t>(value));
        m_description.massSet();
    });
}

bool Program::pointerMoved(int button, float x, float y, int radius)
{
    return run([=, this] {
        // Only the left button alone cuts: what it cuts is told as cut, what
        // broke before it as broken.
        if (button == 1)
            m_description.beforeCut(m_simulation);
        m_simulation.Cut(button, x, y, static_cast<std::int16_t>(radius));
        if (button == 1)
            m_description.afterCut(m_simulation);
    });
}

bool Program::resize(double pixelRatio)
{
    return run([this, pixelRatio] {
        if (!std::isfinite(pixelRatio) || pixelRatio <= 0)
            return;
        if (m_picture.resize(form::Picture1.width, form::Picture1.height, pixelRatio))
            m_screen.forget(m_picture);
    });
}

std::string Program::massTip(int value)
{
    std::string tip;
    run([&] {
        // Before the lattice is built the bar's value is the mass it will get.
        tip = texts::massTip(value, m_simulation.built() ? m_simulation.Masses(1).M : value);
    });
    return tip;
}

std::string Program::radiusTip(int value)
{
    std::string tip;
    run([&] { tip = texts::radiusTip(value); });
    return tip;
}

PixelPicture::Rect Program::toPut()
{
    PixelPicture::Rect rect;
    run([&] { rect = m_screen.toPut(m_picture); });
    return rect;
}

void Program::pictureShown(std::int64_t now)
{
    run([this, now] {
        m_screen.shows(m_picture);
        if (const std::optional<Description::Words> words = m_description.shown(m_simulation, now);
            words && m_describedHandler)
            m_describedHandler(*words);
    });
}
