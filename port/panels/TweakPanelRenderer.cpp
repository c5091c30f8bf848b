#include "port/panels/TweakPanelRenderer.h"

#include "port/panels/TweakDefinition.h"
#include "port/panels/TweakPanels.h"

#include <SDL.h>
#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>

namespace {

TweakPanelRenderer* gRenderer = nullptr;

constexpr unsigned kEscapeKey = 0x1B;
constexpr unsigned kEnterKey = 0x0D;
constexpr float kDefaultBarWidth = 240.0f;
// How near (pixels) a bar's right side must be to the window's to keep to it.
constexpr float kEdgeSlack = 2.0f;
constexpr float kDefaultBarHeight = 320.0f;

std::string Param(const std::map<std::string, std::string>& params, const char* key) {
    auto it = params.find(key);
    return it == params.end() ? std::string() : it->second;
}

double Seconds() {
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

ImGuiDataType IntegerDataType(TwType type) {
    switch (type) {
        case TW_TYPE_INT8:
            return ImGuiDataType_S8;
        case TW_TYPE_UINT8:
            return ImGuiDataType_U8;
        case TW_TYPE_INT16:
            return ImGuiDataType_S16;
        case TW_TYPE_UINT16:
            return ImGuiDataType_U16;
        case TW_TYPE_INT32:
            return ImGuiDataType_S32;
        case TW_TYPE_UINT32:
            return ImGuiDataType_U32;
        default:
            return -1;
    }
}

// Clamps a number held in the value to the variable's min / max parameters.
template <class T>
void ClampNumber(unsigned char* raw, const std::map<std::string, std::string>& params) {
    T v;
    std::memcpy(&v, raw, sizeof v);
    std::string low = Param(params, "min"), high = Param(params, "max");
    if (!low.empty()) v = std::max(v, static_cast<T>(std::strtod(low.c_str(), nullptr)));
    if (!high.empty()) v = std::min(v, static_cast<T>(std::strtod(high.c_str(), nullptr)));
    std::memcpy(raw, &v, sizeof v);
}

void Clamp(TwType type, unsigned char* raw, const std::map<std::string, std::string>& params) {
    switch (type) {
        case TW_TYPE_INT8:
            ClampNumber<int8_t>(raw, params);
            break;
        case TW_TYPE_UINT8:
            ClampNumber<uint8_t>(raw, params);
            break;
        case TW_TYPE_INT16:
            ClampNumber<int16_t>(raw, params);
            break;
        case TW_TYPE_UINT16:
            ClampNumber<uint16_t>(raw, params);
            break;
        case TW_TYPE_INT32:
            ClampNumber<int32_t>(raw, params);
            break;
        case TW_TYPE_UINT32:
            ClampNumber<uint32_t>(raw, params);
            break;
        case TW_TYPE_FLOAT:
            ClampNumber<float>(raw, params);
            break;
        case TW_TYPE_DOUBLE:
            ClampNumber<double>(raw, params);
            break;
        default:
            break;
    }
}

// The title colour and background alpha of a bar's "color" and "alpha"
// definitions; returns how many style colours it pushed.
int PushBarColours(const std::map<std::string, std::string>& params) {
    int colours = 0;
    int rgb[3];
    std::string colour = Param(params, "color");
    float alpha = 1.0f;
    std::string alphaText = Param(params, "alpha");
    if (!alphaText.empty())
        alpha = std::clamp(static_cast<float>(std::strtod(alphaText.c_str(), nullptr)) / 255.0f, 0.0f, 1.0f);
    if (!colour.empty() && TweakDefinition::ParseInts(colour, rgb, 3)) {
        ImVec4 c(rgb[0] / 255.0f, rgb[1] / 255.0f, rgb[2] / 255.0f, alpha);
        ImGui::PushStyleColor(ImGuiCol_TitleBg, c);
        ImGui::PushStyleColor(ImGuiCol_TitleBgActive, c);
        ImGui::PushStyleColor(ImGuiCol_TitleBgCollapsed, c);
        colours = 3;
    }
    if (!alphaText.empty()) ImGui::SetNextWindowBgAlpha(alpha);
    return colours;
}

// A row of `count` number fields (floats or doubles) and the label, one
// group. A field takes its text on Enter; a text that is no number is
// refused (*refused names it) and the value keeps what it had. *fieldWidth:
// the width of each field.
bool NumberRow(const std::string& id, const std::string& label, bool isFloat, int count, double step,
               unsigned char* raw, std::string* refused, float* fieldWidth) {
    const ImGuiStyle& style = ImGui::GetStyle();
    const float spacing = style.ItemInnerSpacing.x;
    const bool buttons = count == 1 && step > 0.0;
    const float buttonsWidth = buttons ? 2.0f * (ImGui::GetFrameHeight() + spacing) : 0.0f;
    const float width =
        std::max(1.0f, (ImGui::CalcItemWidth() - buttonsWidth - spacing * static_cast<float>(count - 1)) /
                           static_cast<float>(count));
    *fieldWidth = width;
    const size_t size = isFloat ? sizeof(float) : sizeof(double);
    auto get = [&](int k) {
        if (!isFloat) {
            double d;
            std::memcpy(&d, raw + k * size, size);
            return d;
        }
        float f;
        std::memcpy(&f, raw + k * size, size);
        return static_cast<double>(f);
    };
    auto set = [&](int k, double d) {
        if (isFloat) {
            const float f = static_cast<float>(d);
            std::memcpy(raw + k * size, &f, size);
        } else {
            std::memcpy(raw + k * size, &d, size);
        }
    };
    bool changed = false;
    ImGui::BeginGroup();
    ImGui::PushID(id.c_str());
    for (int k = 0; k < count; ++k) {
        ImGui::PushID(k);
        if (k > 0) ImGui::SameLine(0.0f, spacing);
        ImGui::SetNextItemWidth(width);
        char shown[64];
        std::snprintf(shown, sizeof shown, "%g", get(k));
        std::string text = shown;
        if (ImGui::InputText("##n", &text, ImGuiInputTextFlags_EnterReturnsTrue | ImGuiInputTextFlags_AutoSelectAll)) {
            double d = 0.0;
            if (TweakPanelLibrary::ParseNumber(text, isFloat, &d)) {
                set(k, d);
                changed = true;
            } else {
                *refused = "\"" + text + "\" is no number";
            }
        }
        ImGui::PopID();
    }
    if (buttons) {
        ImGui::PushButtonRepeat(true);
        ImGui::SameLine(0.0f, spacing);
        if (ImGui::Button("-", ImVec2(ImGui::GetFrameHeight(), ImGui::GetFrameHeight()))) {
            set(0, get(0) - step);
            changed = true;
        }
        ImGui::SameLine(0.0f, spacing);
        if (ImGui::Button("+", ImVec2(ImGui::GetFrameHeight(), ImGui::GetFrameHeight()))) {
            set(0, get(0) + step);
            changed = true;
        }
        ImGui::PopButtonRepeat();
    }
    ImGui::PopID();
    const size_t hidden = label.find("##");
    if (hidden != 0) {
        ImGui::SameLine(0.0f, spacing);
        ImGui::TextUnformatted(label.c_str(), hidden == std::string::npos ? nullptr : label.c_str() + hidden);
    }
    ImGui::EndGroup();
    return changed;
}

// The widget of the variable's type, editing the copy in `value`; true when
// the user changed it. A type without a widget shows its label. A typed text
// that is refused is named in *refused. *fieldWidth: how far from the
// widget's left edge a click edits the value (the text part of an integer
// without its step buttons, the first field of a row of numbers, a check
// box's box), 0 for the whole widget.
bool EditValue(TweakPanelLibrary& lib, const TweakPanelLibrary::Var& var, const std::string& label,
               TweakPanelLibrary::Value& value, std::string* refused, float* fieldWidth) {
    const std::string id = label + "##" + var.name;
    const float itemWidth = ImGui::CalcItemWidth();
    const float frame = ImGui::GetFrameHeight();
    *fieldWidth = itemWidth;
    bool changed = false;
    unsigned char* raw = value.raw;
    const ImGuiInputTextFlags enter = ImGuiInputTextFlags_EnterReturnsTrue;
    const TwType type = var.type;
    std::string stepText = Param(var.params, "step");
    if (lib.IsEnum(type)) {
        int current;
        std::memcpy(&current, raw, sizeof current);
        const std::vector<TwEnumVal>& values = lib.EnumValues(type);
        const char* shown = "";
        for (const TwEnumVal& v : values)
            if (v.Value == current) shown = v.Label;
        if (ImGui::BeginCombo(id.c_str(), shown)) {
            for (const TwEnumVal& v : values) {
                if (ImGui::Selectable(v.Label, v.Value == current) && v.Value != current) {
                    std::memcpy(raw, &v.Value, sizeof v.Value);
                    changed = true;
                }
            }
            ImGui::EndCombo();
        }
    } else if (type == TW_TYPE_BOOLCPP || type == TW_TYPE_BOOL8 || type == TW_TYPE_BOOL16 || type == TW_TYPE_BOOL32) {
        std::string text;
        lib.ToText(type, value, &text);
        bool b = text == "true";
        *fieldWidth = frame;
        if (ImGui::Checkbox(id.c_str(), &b)) changed = lib.FromText(type, b ? "true" : "false", &value);
    } else if (IntegerDataType(type) >= 0) {
        long long step = stepText.empty() ? 1 : std::llround(std::strtod(stepText.c_str(), nullptr));
        if (step == 0) step = 1;
        long long fast = step * 10;
        // The text part; the - and + buttons follow it within the item width.
        *fieldWidth = std::max(1.0f, itemWidth - 2.0f * (frame + ImGui::GetStyle().ItemInnerSpacing.x));
        changed = ImGui::InputScalar(id.c_str(), IntegerDataType(type), raw, &step, &fast, nullptr, enter);
    } else if (type == TW_TYPE_FLOAT || type == TW_TYPE_DOUBLE || type == TW_TYPE_DIR3F || type == TW_TYPE_QUAT4F ||
               type == TW_TYPE_DIR3D || type == TW_TYPE_QUAT4D) {
        const bool isFloat = type == TW_TYPE_FLOAT || type == TW_TYPE_DIR3F || type == TW_TYPE_QUAT4F;
        const double step = stepText.empty() ? 0.0 : std::strtod(stepText.c_str(), nullptr);
        changed = NumberRow(id, label, isFloat, TweakPanelLibrary::NumberCount(type), step, raw, refused, fieldWidth);
    } else if (type == TW_TYPE_COLOR3F) {
        changed = ImGui::ColorEdit3(id.c_str(), reinterpret_cast<float*>(raw));
    } else if (type == TW_TYPE_COLOR4F) {
        changed = ImGui::ColorEdit4(id.c_str(), reinterpret_cast<float*>(raw));
    } else if (type == TW_TYPE_COLOR32) {
        uint32_t packed;
        std::memcpy(&packed, raw, sizeof packed);
        float c[4] = {((packed >> 16) & 0xFF) / 255.0f, ((packed >> 8) & 0xFF) / 255.0f, (packed & 0xFF) / 255.0f,
                      ((packed >> 24) & 0xFF) / 255.0f};
        if (ImGui::ColorEdit4(id.c_str(), c)) {
            auto byte = [](float f) { return static_cast<uint32_t>(std::lround(std::clamp(f, 0.0f, 1.0f) * 255.0f)); };
            packed = (byte(c[3]) << 24) | (byte(c[0]) << 16) | (byte(c[1]) << 8) | byte(c[2]);
            std::memcpy(raw, &packed, sizeof packed);
            changed = true;
        }
    } else if (type == TW_TYPE_CDSTRING || type == TW_TYPE_STDSTRING) {
        changed = ImGui::InputText(id.c_str(), &value.text, enter | ImGuiInputTextFlags_AutoSelectAll);
    } else if (type == TW_TYPE_CHAR) {
        std::string one(1, static_cast<char>(raw[0]));
        if (ImGui::InputText(id.c_str(), &one, enter) && !one.empty()) {
            raw[0] = static_cast<unsigned char>(one[0]);
            changed = true;
        }
    } else {
        *fieldWidth = 0.0f;
        ImGui::TextUnformatted(label.c_str());
    }
    return changed;
}

}  // namespace

TweakPanelRenderer* TweakPanelRenderer::Get() {
    return gRenderer;
}

bool TweakPanelRenderer::Create() {
    if (gRenderer) return true;
    auto* renderer = new TweakPanelRenderer();
    renderer->context_ = ImGui::CreateContext();
    ImGui::SetCurrentContext(renderer->context_);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    ImGuiInput::MapKeys(io);
    // Drawing needs a current GL context (the renderer's); without one the
    // panels still lay out and take input.
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GL_GetCurrentContext())
        renderer->glReady_ = ImGui_ImplOpenGL3_Init("#version 410 core");
    if (!renderer->glReady_) {
        unsigned char* pixels = nullptr;
        int w = 0, h = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);
    }
    renderer->lastTime_ = Seconds();
    gRenderer = renderer;
    return true;
}

void TweakPanelRenderer::Destroy() {
    delete gRenderer;
    gRenderer = nullptr;
}

TweakPanelRenderer::~TweakPanelRenderer() {
    ImGui::SetCurrentContext(context_);
    if (glReady_) ImGui_ImplOpenGL3_Shutdown();
    ImGui::DestroyContext(context_);
}

bool TweakPanelRenderer::OverPanel(float x, float y) const {
    for (const auto& [serial, rect] : barRects_)
        if (rect.Contains(x, y)) return true;
    return false;
}

bool TweakPanelRenderer::Event(const WindowEvent& event) {
    ImGui::SetCurrentContext(context_);
    // An item being edited or dragged keeps the pointer and the keys; an open
    // popup (a colour picker, a list) keeps the keys that close or confirm it.
    const bool panelBusy = ImGui::IsAnyItemActive();
    const bool popupOpen = ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel);
    switch (event.kind) {
        case WindowEventKind::MouseMove:
            input_.Record(event, false);
            // A drag that began on a panel (a slider, a selection) keeps the pointer.
            return (panelBusy && ImGui::IsAnyMouseDown()) || OverPanel(input_.MouseX(), input_.MouseY());
        case WindowEventKind::ButtonDown:
            // ImGui sees every press (one outside the panels ends an edit), the
            // game keeps those outside.
            input_.Record(event, false);
            return OverPanel(static_cast<float>(event.x), static_cast<float>(event.y));
        case WindowEventKind::ButtonUp:
        case WindowEventKind::KeyUp:
            input_.Record(event, false);
            return false;  // releases always reach the game too: nothing stays held
        case WindowEventKind::MouseWheel:
            if (!OverPanel(input_.MouseX(), input_.MouseY())) return false;
            input_.Record(event, false);
            return true;
        case WindowEventKind::KeyDown:
            // Keys reach the panels only while something there is being
            // edited or a popup is open: otherwise Tab would move the panels'
            // focus into a text field that then keeps every key from the
            // editor until the designer clicks the view.
            if (!panelBusy && !popupOpen) return false;
            input_.Record(event, false);
            return panelBusy || event.vk == kEscapeKey || event.vk == kEnterKey;
        case WindowEventKind::Char:
            if (!panelBusy) return false;
            input_.Record(event, true);
            return true;
        case WindowEventKind::Resized:
            if (event.rect.right > 0 && event.rect.bottom > 0) {
                TweakPanelLibrary::Get().windowWidth = event.rect.right;
                TweakPanelLibrary::Get().windowHeight = event.rect.bottom;
            }
            return false;
        default:
            return false;
    }
}

void TweakPanelRenderer::Draw() {
    ImGui::SetCurrentContext(context_);
    TweakPanelLibrary& lib = TweakPanelLibrary::Get();
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize =
        ImVec2(static_cast<float>(std::max(1, lib.windowWidth)), static_cast<float>(std::max(1, lib.windowHeight)));
    const double now = Seconds();
    io.DeltaTime = static_cast<float>(std::max(now - lastTime_, 1e-4));
    lastTime_ = now;
    input_.Apply(io);

    KeepRightEdges(io.DisplaySize.x);
    if (glReady_) ImGui_ImplOpenGL3_NewFrame();
    ImGui::NewFrame();
    // Escape closes the open popups (a field being edited takes it itself).
    if (ImGui::IsKeyPressed(io.KeyMap[ImGuiKey_Escape], false) && !ImGui::IsAnyItemActive())
        ImGui::ClosePopupsOverWindow(nullptr, true);
    barRects_.clear();
    innerRects_.clear();
    itemRects_.clear();
    fieldRects_.clear();
    heldItems_.clear();
    // Walk a list of handles: a get callback may add or delete bars.
    std::vector<uint64_t> serials;
    for (const auto& bar : lib.Bars()) serials.push_back(bar->serial);
    int index = 0;
    for (uint64_t serial : serials) {
        // A copy: get callbacks run while the bar is drawn and may delete it.
        if (TweakPanelLibrary::Bar* bar = lib.FindBySerial(serial)) DrawBar(*bar, index);
        ++index;
    }
    ImGui::Render();
    if (glReady_) ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    lib.RunPending();
}

void TweakPanelRenderer::DrawBar(TweakPanelLibrary::Bar bar, int index) {
    if (!TweakPanelLibrary::ParamIsTrue(bar.params, "visible", true)) return;
    const uint64_t serial = bar.serial;
    std::string label = Param(bar.params, "label");
    if (label.empty()) label = bar.name;
    const std::string title = label + "###bar" + std::to_string(serial);
    ApplyPlacement(bar, index);
    if (auto move = moves_.find(serial); move != moves_.end()) {
        ImGui::SetNextWindowPos(move->second, ImGuiCond_Always);
        moves_.erase(move);
    }
    const int colours = PushBarColours(bar.params);

    const bool open = ImGui::Begin(title.c_str(), nullptr, ImGuiWindowFlags_NoSavedSettings);
    ImVec2 pos = ImGui::GetWindowPos(), size = ImGui::GetWindowSize();
    barRects_[serial] = Rect{pos.x, pos.y, size.x, size.y};
    // What the bar shows of its entries: below the title, inside the frame.
    const ImRect clip = ImGui::GetCurrentWindow()->InnerClipRect;
    innerRects_[serial] =
        Rect{clip.Min.x, clip.Min.y, std::max(0.0f, clip.GetWidth()), std::max(0.0f, clip.GetHeight())};
    if (open) {
        float valuesWidth = ImGui::GetWindowWidth() * 0.5f;
        int width = 0;
        std::string widthText = Param(bar.params, "valueswidth");
        if (widthText == "fit")
            valuesWidth = FitValuesWidth(bar);
        else if (!widthText.empty() && TweakDefinition::ParseInts(widthText, &width, 1) && width > 0)
            valuesWidth = static_cast<float>(width);
        ImGui::PushItemWidth(valuesWidth);
        DrawEntries(bar);
        ImGui::PopItemWidth();
    }
    ImGui::End();
    if (colours) ImGui::PopStyleColor(colours);
}

// "valueswidth=fit": the values take what the widest label, indented as
// deep as its group, leaves of the bar, so that every label shows whole.
float TweakPanelRenderer::FitValuesWidth(const TweakPanelLibrary::Bar& bar) {
    const ImGuiStyle& style = ImGui::GetStyle();
    float widest = 0.0f;
    for (const TweakPanelLibrary::Var& var : bar.vars) {
        if (var.kind == TweakVarKind::Button || var.kind == TweakVarKind::Separator) continue;
        std::string label = Param(var.params, "label");
        if (label.empty()) label = var.name;
        int depth = 0;
        for (std::string group = Param(var.params, "group"); !group.empty() && depth < 16; ++depth) {
            auto params = bar.groups.find(group);
            const std::string parent = params == bar.groups.end() ? std::string() : Param(params->second, "group");
            group = parent == group ? std::string() : parent;
        }
        widest =
            std::max(widest, ImGui::CalcTextSize(label.c_str()).x + style.IndentSpacing * static_cast<float>(depth));
    }
    const float minimum = ImGui::GetFrameHeight() * 3.0f;
    return std::max(minimum, ImGui::GetContentRegionAvail().x - widest - style.ItemInnerSpacing.x);
}

// Bars are staggered on first use. Placement definitions apply when they
// change, so a later TwDefine moves the bar while the user may still move it
// in between.
void TweakPanelRenderer::ApplyPlacement(const TweakPanelLibrary::Bar& bar, int index) {
    const float offset = 10.0f + 24.0f * static_cast<float>(index % 12);
    ImGui::SetNextWindowPos(ImVec2(offset, offset), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(kDefaultBarWidth, kDefaultBarHeight), ImGuiCond_FirstUseEver);
    const std::string placement =
        Param(bar.params, "position") + "|" + Param(bar.params, "size") + "|" + Param(bar.params, "iconified");
    auto applied = appliedPlacement_.find(bar.serial);
    if (applied != appliedPlacement_.end() && applied->second == placement) return;
    appliedPlacement_[bar.serial] = placement;
    int pair[2];
    std::string position = Param(bar.params, "position");
    if (!position.empty() && TweakDefinition::ParseInts(position, pair, 2))
        ImGui::SetNextWindowPos(ImVec2(static_cast<float>(pair[0]), static_cast<float>(pair[1])), ImGuiCond_Always);
    std::string size = Param(bar.params, "size");
    if (!size.empty() && TweakDefinition::ParseInts(size, pair, 2))
        ImGui::SetNextWindowSize(ImVec2(static_cast<float>(pair[0]), static_cast<float>(pair[1])), ImGuiCond_Always);
    if (!Param(bar.params, "iconified").empty())
        ImGui::SetNextWindowCollapsed(TweakPanelLibrary::ParamIsTrue(bar.params, "iconified", false), ImGuiCond_Always);
}

// A window that changes width takes the bars standing at its right edge
// along: they keep their distance to it (and their size).
void TweakPanelRenderer::KeepRightEdges(float width) {
    if (shownWidth_ > 0.0f && width != shownWidth_)
        for (const auto& [serial, rect] : barRects_)
            if (std::fabs(rect.x + rect.w - shownWidth_) <= kEdgeSlack)
                moves_[serial] = ImVec2(std::max(0.0f, rect.x + width - shownWidth_), rect.y);
    shownWidth_ = width;
}

// Groups: each appears where its first entry (or sub-group) stands; a
// group's own "group" parameter nests it.
void TweakPanelRenderer::DrawEntries(const TweakPanelLibrary::Bar& bar) {
    struct Node {
        std::string name;
        std::vector<std::pair<bool, size_t>> items;  // (is group, var index or node index)
    };
    std::vector<Node> nodes(1);
    std::map<std::string, size_t> byName;
    const std::vector<TweakPanelLibrary::Var>& vars = bar.vars;
    std::function<size_t(const std::string&, int)> ensure = [&](const std::string& group, int depth) -> size_t {
        if (group.empty() || depth > 16) return 0;
        auto found = byName.find(group);
        if (found != byName.end()) return found->second;
        const size_t node = nodes.size();
        nodes.push_back(Node{group, {}});
        byName[group] = node;
        auto groupParams = bar.groups.find(group);
        std::string parent = groupParams == bar.groups.end() ? std::string() : Param(groupParams->second, "group");
        size_t parentNode = parent == group ? 0 : ensure(parent, depth + 1);
        nodes[parentNode].items.push_back({true, node});
        return node;
    };
    for (size_t i = 0; i < vars.size(); ++i)
        nodes[ensure(Param(vars[i].params, "group"), 0)].items.push_back({false, i});

    std::function<void(size_t)> drawNode = [&](size_t node) {
        for (const auto& [isGroup, which] : nodes[node].items) {
            if (!isGroup) {
                DrawVar(bar.serial, vars[which]);
                continue;
            }
            const std::string& name = nodes[which].name;
            auto groupParams = bar.groups.find(name);
            std::map<std::string, std::string> gp =
                groupParams == bar.groups.end() ? std::map<std::string, std::string>() : groupParams->second;
            if (!TweakPanelLibrary::ParamIsTrue(gp, "visible", true)) continue;
            std::string groupLabel = Param(gp, "label");
            if (groupLabel.empty()) groupLabel = name;
            const bool opened = TweakPanelLibrary::ParamIsTrue(gp, "opened", true);
            if (ImGui::TreeNodeEx((groupLabel + "###group:" + name).c_str(),
                                  opened ? ImGuiTreeNodeFlags_DefaultOpen : 0)) {
                drawNode(which);
                ImGui::TreePop();
            }
        }
    };
    drawNode(0);
}

void TweakPanelRenderer::RecordItem(uint64_t serial, const TweakPanelLibrary::Var& var, float fieldWidth) {
    ImVec2 min = ImGui::GetItemRectMin(), max = ImGui::GetItemRectMax();
    const Rect item{min.x, min.y, max.x - min.x, max.y - min.y};
    itemRects_[{serial, var.name}] = item;
    // The value's field: as wide as the widget says, one frame high (a row
    // of numbers may show a refusal under it).
    fieldRects_[{serial, var.name}] = fieldWidth > 0.0f ? Rect{item.x, item.y, std::min(fieldWidth, item.w),
                                                               std::min(ImGui::GetFrameHeight(), item.h)}
                                                        : item;
    if (ImGui::IsItemActive()) heldItems_.insert({serial, var.name});
    std::string help = Param(var.params, "help");
    if (!help.empty() && ImGui::IsItemHovered()) ImGui::SetTooltip("%s", help.c_str());
}

// A button without a callback is shown as its label; a press runs the
// callback after the frame.
void TweakPanelRenderer::DrawButton(uint64_t serial, const TweakPanelLibrary::Var& var, const std::string& label) {
    if (!var.buttonCallback) {
        ImGui::TextUnformatted(label.c_str());
        RecordItem(serial, var);
        return;
    }
    const bool clicked = ImGui::Button((label + "##" + var.name).c_str());
    RecordItem(serial, var);
    if (clicked) {
        TweakPanelLibrary::Pending press;
        press.barSerial = serial;
        press.varName = var.name;
        press.isButton = true;
        TweakPanelLibrary::Get().Defer(std::move(press));
    }
}

void TweakPanelRenderer::DrawVar(uint64_t serial, const TweakPanelLibrary::Var& var) {
    if (!TweakPanelLibrary::ParamIsTrue(var.params, "visible", true)) return;
    TweakPanelLibrary& lib = TweakPanelLibrary::Get();
    std::string label = Param(var.params, "label");
    if (label.empty()) label = var.name;
    if (var.kind == TweakVarKind::Separator) {
        ImGui::Separator();
        return;
    }
    if (var.kind == TweakVarKind::Button) {
        DrawButton(serial, var, label);
        return;
    }

    TweakPanelLibrary::Value value;
    if (!lib.ReadValue(var, &value)) return;
    const bool readOnly = TweakPanelLibrary::IsReadOnly(var);
    if (readOnly) ImGui::BeginDisabled(true);
    std::string refused;
    float fieldWidth = 0.0f;
    const bool changed = EditValue(lib, var, label, value, &refused, &fieldWidth);
    RecordItem(serial, var, fieldWidth);
    if (readOnly) ImGui::EndDisabled();
    const std::pair<uint64_t, std::string> key{serial, var.name};
    if (!refused.empty()) {
        lib.Error(var.name + ": " + refused);
        refused_[key] = refused;
    } else if (changed) {
        refused_.erase(key);
    }
    if (auto note = refused_.find(key); note != refused_.end())
        ImGui::TextColored(ImVec4(1.0f, 0.4f, 0.4f, 1.0f), "%s", note->second.c_str());
    if (changed && !readOnly) {
        Clamp(var.type, value.raw, var.params);
        TweakPanelLibrary::Pending edit;
        edit.barSerial = serial;
        edit.varName = var.name;
        edit.value = std::move(value);
        lib.Defer(std::move(edit));
    }
}

bool TweakPanelRenderer::ItemRect(uint64_t barSerial, const std::string& name, Rect* out) const {
    auto it = itemRects_.find({barSerial, name});
    if (it == itemRects_.end()) return false;
    *out = it->second;
    return true;
}

bool TweakPanelRenderer::FieldRect(uint64_t barSerial, const std::string& name, Rect* out) const {
    auto it = fieldRects_.find({barSerial, name});
    if (it == fieldRects_.end()) return false;
    *out = it->second;
    return true;
}

bool TweakPanelRenderer::Held(uint64_t barSerial, const std::string& name) const {
    return heldItems_.count({barSerial, name}) != 0;
}

bool TweakPanelRenderer::InnerRect(uint64_t barSerial, Rect* out) const {
    auto it = innerRects_.find(barSerial);
    if (it == innerRects_.end()) return false;
    *out = it->second;
    return true;
}

bool TweakPanelRenderer::BarRect(uint64_t barSerial, Rect* out) const {
    auto it = barRects_.find(barSerial);
    if (it == barRects_.end()) return false;
    *out = it->second;
    return true;
}
