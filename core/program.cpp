#include "program.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "controltexts.h"
#include "failure.h"
#include "form.h"

Program::Program(PixelPicture::Channels channels, std::optional<Pace> pace)
    : m_picture(channels), m_pace(std::move(pace))
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

void Program::fail(int number, const std::string& description)
{
    if (m_ended)
        return;
    m_ended = true;
    m_errorNumber = number;
    m_error = texts::runtimeErrorMessage(number, description);
}

bool Program::load(double pixelRatio)
{
    return resize(pixelRatio) && run([this] {
        m_simulation.Init();
        m_loaded = true;
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
    return run([this] { m_simulation.Init(); });
}

bool Program::massChanged(int value)
{
    return run([this, value] { m_simulation.SetFirstMass(static_cast<std::int16_t>(value)); });
}

bool Program::pointerMoved(int button, float x, float y, int radius)
{
    return run([=, this] { m_simulation.Cut(button, x, y, static_cast<std::int16_t>(radius)); });
}

void Program::exit()
{
    m_ended = true;
}

bool Program::resize(double pixelRatio)
{
    return run([this, pixelRatio] {
        if (!std::isfinite(pixelRatio) || pixelRatio <= 0)
            return;
        if (m_picture.resize(form::Picture1.width, form::Picture1.height, pixelRatio))
            screenUnknown();
    });
}

std::string Program::massTip(int value)
{
    std::string tip;
    run([&] {
        // Before the lattice is built the bar's value is the mass it will get.
        tip = texts::massTip(value, m_loaded ? m_simulation.Masses(1).M : value);
    });
    return tip;
}

std::string Program::radiusTip(int value)
{
    std::string tip;
    run([&] { tip = texts::radiusTip(value); });
    return tip;
}

void Program::screenUnknown()
{
    m_onScreen = {0, 0, m_picture.width(), m_picture.height()};
    m_screenKnown = false;
}

bool Program::repeatsScreen() const
{
    if (!m_screenKnown || !m_picture.setNoted())
        return false;
    const std::uint32_t* const pixels = m_picture.pixels();
    const auto differs = [&](std::uint32_t i) { return pixels[i] != m_screen[i]; };
    const auto set = m_picture.set();
    return std::none_of(set.begin(), set.end(), differs) && std::none_of(m_screenSet.begin(), m_screenSet.end(), differs);
}

PixelPicture::Rect Program::changed()
{
    PixelPicture::Rect rect;
    run([&] {
        if (!repeatsScreen())
            rect = m_onScreen.united(m_picture.drawn());
    });
    return rect;
}

void Program::shown()
{
    run([this] {
        m_onScreen = m_picture.drawn();
        // The screen's pixels are kept where the lines that set them are
        // known: then a picture that repeats them need not be put again.
        if (!m_picture.setNoted()) {
            m_screenKnown = false;
            return;
        }
        const std::uint32_t* const pixels = m_picture.pixels();
        const std::uint32_t background = m_picture.background();
        if (!m_screenKnown)
            m_screen.assign(static_cast<std::size_t>(m_picture.width()) * static_cast<std::size_t>(m_picture.height()),
                            background);
        else
            for (const std::uint32_t i : m_screenSet)
                m_screen[i] = background;
        const auto set = m_picture.set();
        for (const std::uint32_t i : set)
            m_screen[i] = pixels[i];
        m_screenSet.assign(set.begin(), set.end());
        m_screenKnown = true;
    });
}

namespace {

/// A text as a JSON string.
std::string quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr char Hex[] = "0123456789abcdef";
            out += "\\u00";
            out += Hex[c >> 4];
            out += Hex[c & 0xf];
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string json(const form::Rect& r)
{
    return "\"left\":" + std::to_string(r.left) + ",\"top\":" + std::to_string(r.top) + ",\"width\":"
           + std::to_string(r.width) + ",\"height\":" + std::to_string(r.height);
}

std::string json(const form::ScrollBar& bar)
{
    return json(bar.rect) + ",\"min\":" + std::to_string(bar.min) + ",\"max\":" + std::to_string(bar.max)
           + ",\"value\":" + std::to_string(bar.value) + ",\"small\":" + std::to_string(bar.smallChange)
           + ",\"large\":" + std::to_string(bar.largeChange);
}

} // namespace

std::string Program::describe() const
{
    std::string texts = "{";
    for (const auto& [name, text] : texts::ByName)
        texts += (texts.size() > 1 ? "," : "") + quoted(name) + ":" + quoted(text);
    texts += "}";
    return "{\"TwipsPerPixel\":" + std::to_string(form::TwipsPerPixel) + ",\"Client\":{\"width\":"
           + std::to_string(form::Client.width) + ",\"height\":" + std::to_string(form::Client.height)
           + "},\"Picture1\":{" + json(form::Picture1) + "},\"Command2\":{" + json(form::Command2)
           + "},\"HScroll1\":{" + json(form::HScroll1) + "},\"HScroll2\":{" + json(form::HScroll2)
           + "},\"Command1\":{" + json(form::Command1) + "},\"Texts\":" + texts + "}";
}
