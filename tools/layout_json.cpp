#include "tools/layout_json.h"

#include <nlohmann/json.hpp>
#include <string_view>

#include "ui/layout.h"

namespace mervalin {

namespace {

using Json = nlohmann::ordered_json;

std::string_view arrayName(Array array) {
    constexpr std::string_view kNames[] = {"Label1", "List1",    "List2",   "Text1",
                                           "Text2",  "Command1", "Picture1"};
    return kNames[static_cast<int>(array)];
}

// As the design and the scenarios write it: "List1(0)", but "List2".
std::string controlName(ControlId id) {
    std::string name(arrayName(id.array));
    if (id.array != Array::List2 && id.array != Array::Picture1) {
        // Appended piece by piece: GCC 12 warns wrongly (-Wrestrict) on
        // "(" + std::string at -O3.
        name += '(';
        name += std::to_string(id.index);
        name += ')';
    }
    return name;
}

std::string hex(layout::Rgb rgb) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text = "#";
    for (int part : {rgb.red, rgb.green, rgb.blue}) {
        text += kDigits[part >> 4];
        text += kDigits[part & 15];
    }
    return text;
}

int pixels(int twips) { return layout::toPixels(twips, 96); }

Json control(const layout::Control& c) {
    const layout::Rect& r = c.rect;
    return {{"id", c.id.number()},
            {"name", controlName(c.id)},
            {"array", arrayName(c.id.array)},
            {"index", c.id.index},
            {"kind", layout::nameOf(c.kind)},
            {"left", r.left},
            {"top", r.top},
            {"width", r.width},
            {"height", r.height},
            {"pixels", {pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height)}},
            {"tabIndex", c.tabIndex},
            {"focus", layout::takesFocus(c)},
            {"label", c.namedBy == layout::kNoLabel
                          ? Json(nullptr)
                          : Json(controlName(layout::labelControl(c.namedBy).id))},
            {"caption", c.caption},
            {"heading", c.heading},
            {"accessibleName", layout::accessibleName(c)},
            {"readOnly", c.readOnly},
            {"multiLine", c.multiLine},
            {"verticalScrollBar", c.verticalScrollBar},
            {"border", c.border == layout::Border::Sunken ? "sunken" : "none"},
            {"align", c.align == layout::Align::Centre ? "centre" : "left"},
            {"background", layout::nameOf(c.background)},
            {"text", layout::nameOf(c.text)},
            {"pageRows", c.pageRows}};
}

}  // namespace

std::string layoutJson() {
    Json colours = Json::object();
    Json highContrast = Json::object();
    for (layout::Colour colour : layout::kColours) {
        colours[std::string(layout::nameOf(colour))] = hex(layout::designed(colour));
        highContrast[std::string(layout::nameOf(colour))] =
            layout::nameOf(layout::highContrast(colour));
    }
    Json plain = Json::object();
    for (layout::SystemColour colour : layout::kSystemColours) {
        plain[std::string(layout::nameOf(colour))] = hex(layout::plainHighContrast(colour));
    }
    Json controls = Json::array();
    Json tabOrder = Json::array();
    for (const layout::Control& c : layout::kControls) {
        controls.push_back(control(c));
        if (layout::takesFocus(c)) tabOrder.push_back(controlName(c.id));
    }
    const Json table = {
        {"caption", layout::kCaption},
        {"font", {{"family", layout::kFontFamily}, {"points", layout::kFontPoints}}},
        {"width", layout::kClientWidth},
        {"height", layout::kClientHeight},
        {"pixels", {pixels(layout::kClientWidth), pixels(layout::kClientHeight)}},
        {"colours", std::move(colours)},
        {"highContrast", std::move(highContrast)},
        {"chosenItem",
         {{"background", layout::nameOf(layout::kChosenItem)},
          {"text", layout::nameOf(layout::kChosenItemText)}}},
        {"plainHighContrast", std::move(plain)},
        {"controls", std::move(controls)},
        {"tabOrder", std::move(tabOrder)},
    };
    // A key a line and a control a line, so that a change of the table is a
    // readable change of the file.
    std::string text = "{";
    for (auto field = table.begin(); field != table.end(); ++field) {
        text += field == table.begin() ? "\n " : ",\n ";
        text += Json(field.key()).dump();
        text += ": ";
        if (field->is_array() && field.key() == "controls") {
            text += '[';
            for (std::size_t i = 0; i < field->size(); ++i) {
                text += i == 0 ? "\n  " : ",\n  ";
                text += (*field)[i].dump(-1, ' ', false);
            }
            text += "\n ]";
        } else {
            text += field->dump(-1, ' ', false);
        }
    }
    text += "\n}\n";
    return text;
}

}  // namespace mervalin
