#include "form.h"

#include "controltexts.h"

namespace form {

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

std::string json(const Rect& r)
{
    return "\"left\":" + std::to_string(r.left) + ",\"top\":" + std::to_string(r.top) + ",\"width\":"
           + std::to_string(r.width) + ",\"height\":" + std::to_string(r.height);
}

std::string json(const Control& control)
{
    std::string out = json(control.rect);
    if (const ScrollBar* bar = control.bar)
        out += ",\"min\":" + std::to_string(bar->min) + ",\"max\":" + std::to_string(bar->max) + ",\"value\":"
               + std::to_string(bar->value) + ",\"small\":" + std::to_string(bar->smallChange) + ",\"large\":"
               + std::to_string(bar->largeChange);
    return out;
}

} // namespace

std::string describe()
{
    std::string names, controls;
    for (const Control& control : Controls) {
        names += (names.empty() ? "" : ",") + quoted(control.name);
        controls += "," + quoted(control.name) + ":{" + json(control) + "}";
    }
    std::string texts;
    for (const auto& [name, text] : texts::ByName)
        texts += (texts.empty() ? "" : ",") + quoted(name) + ":" + quoted(text);
    return "{\"TwipsPerPixel\":" + std::to_string(TwipsPerPixel) + ",\"Client\":{\"width\":"
           + std::to_string(Client.width) + ",\"height\":" + std::to_string(Client.height) + "},\"Controls\":["
           + names + "]" + controls + ",\"Texts\":{" + texts + "}}";
}

} // namespace form
