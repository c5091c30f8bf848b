#include "port/panels/TweakPanelsProbe.h"

#include "port/panels/TweakDefinition.h"
#include "port/panels/TweakPanelLibrary.h"
#include "port/panels/TweakPanelRenderer.h"

namespace {

TweakVarInfo MakeVarInfo(const TweakPanelLibrary::Var& var) {
    TweakVarInfo info;
    info.name = var.name;
    info.kind = var.kind;
    info.type = var.type;
    info.address = var.address;
    info.clientData = var.clientData;
    info.params = var.params;
    auto get = [&](const char* key) {
        auto it = var.params.find(key);
        return it == var.params.end() ? std::string() : it->second;
    };
    info.label = get("label");
    info.group = get("group");
    info.help = get("help");
    info.visible = TweakPanelLibrary::ParamIsTrue(var.params, "visible", true);
    info.readOnly = TweakPanelLibrary::IsReadOnly(var);
    return info;
}

}  // namespace

std::vector<std::string> TwInspectBarNames() {
    std::vector<std::string> names;
    for (const auto& bar : TweakPanelLibrary::Get().Bars()) names.push_back(bar->name);
    return names;
}

TwBar* TwInspectFindBar(const char* barName) {
    TweakPanelLibrary::Bar* bar = TweakPanelLibrary::Get().FindByName(barName ? barName : "");
    return bar ? TweakPanelLibrary::Handle(*bar) : nullptr;
}

bool TwInspectBar(const TwBar* handle, TweakBarInfo* out) {
    TweakPanelLibrary::Bar* bar = TweakPanelLibrary::Get().FindQuiet(handle);
    if (!bar) return false;
    *out = TweakBarInfo();
    out->name = bar->name;
    out->params = bar->params;
    auto it = bar->params.find("label");
    out->label = it == bar->params.end() ? bar->name : it->second;
    out->visible = TweakPanelLibrary::ParamIsTrue(bar->params, "visible", true);
    out->iconified = TweakPanelLibrary::ParamIsTrue(bar->params, "iconified", false);
    int pair[2];
    it = bar->params.find("position");
    if (it != bar->params.end() && TweakDefinition::ParseInts(it->second, pair, 2)) {
        out->positionX = pair[0];
        out->positionY = pair[1];
    }
    it = bar->params.find("size");
    if (it != bar->params.end() && TweakDefinition::ParseInts(it->second, pair, 2)) {
        out->sizeX = pair[0];
        out->sizeY = pair[1];
    }
    it = bar->params.find("valueswidth");
    if (it != bar->params.end()) {
        if (it->second == "fit")
            out->valuesWidth = -2;
        else if (TweakDefinition::ParseInts(it->second, pair, 1))
            out->valuesWidth = pair[0];
    }
    for (const auto& var : bar->vars) out->vars.push_back(MakeVarInfo(var));
    return true;
}

bool TwInspectVar(const TwBar* handle, const char* varName, TweakVarInfo* out) {
    TweakPanelLibrary::Bar* bar = TweakPanelLibrary::Get().FindQuiet(handle);
    if (!bar || !varName) return false;
    TweakPanelLibrary::Var* var = TweakPanelLibrary::FindVar(*bar, varName);
    if (!var) return false;
    *out = MakeVarInfo(*var);
    return true;
}

std::map<std::string, std::string> TwInspectGroupParams(const TwBar* handle, const char* groupName) {
    TweakPanelLibrary::Bar* bar = TweakPanelLibrary::Get().FindQuiet(handle);
    if (!bar || !groupName) return {};
    auto it = bar->groups.find(groupName);
    return it == bar->groups.end() ? std::map<std::string, std::string>() : it->second;
}

std::map<std::string, std::string> TwInspectGlobalParams() {
    return TweakPanelLibrary::Get().GlobalParams();
}

bool TwInspectReadValue(const TwBar* handle, const char* varName, std::string* out) {
    TweakPanelLibrary& lib = TweakPanelLibrary::Get();
    TweakPanelLibrary::Bar* bar = lib.FindQuiet(handle);
    if (!bar || !varName) return false;
    TweakPanelLibrary::Var* var = TweakPanelLibrary::FindVar(*bar, varName);
    if (!var) return false;
    TweakPanelLibrary::Value value;
    return lib.ReadValue(*var, &value) && lib.ToText(var->type, value, out);
}

bool TwInspectWriteValue(TwBar* handle, const char* varName, const char* text) {
    TweakPanelLibrary& lib = TweakPanelLibrary::Get();
    TweakPanelLibrary::Bar* bar = lib.FindQuiet(handle);
    if (!bar || !varName || !text) return false;
    TweakPanelLibrary::Var* var = TweakPanelLibrary::FindVar(*bar, varName);
    if (!var || TweakPanelLibrary::IsReadOnly(*var)) return false;
    if (var->kind != TweakVarKind::ReadWrite && var->kind != TweakVarKind::Callback) return false;
    TweakPanelLibrary::Value value;
    if (!lib.FromText(var->type, text, &value)) return false;
    lib.WriteValue(*var, value);
    return true;
}

bool TwInspectPressButton(TwBar* handle, const char* buttonName) {
    TweakPanelLibrary& lib = TweakPanelLibrary::Get();
    TweakPanelLibrary::Bar* bar = lib.FindQuiet(handle);
    if (!bar || !buttonName) return false;
    TweakPanelLibrary::Var* var = TweakPanelLibrary::FindVar(*bar, buttonName);
    if (!var || var->kind != TweakVarKind::Button) return false;
    TweakPanelLibrary::Pending press;
    press.barSerial = bar->serial;
    press.varName = var->name;
    press.isButton = true;
    lib.Defer(std::move(press));
    lib.RunPending();
    return true;
}

std::vector<TwEnumVal> TwInspectEnum(TwType type) {
    return TweakPanelLibrary::Get().EnumValues(type);
}

std::string TwInspectEnumName(TwType type) {
    return TweakPanelLibrary::Get().EnumName(type);
}

void TwInspectReset() {
    TweakPanelRenderer::Destroy();
    TweakPanelLibrary::Get().Reset();
}

namespace {
bool Out(const TweakPanelRenderer::Rect& r, float* x, float* y, float* w, float* h) {
    if (x) *x = r.x;
    if (y) *y = r.y;
    if (w) *w = r.w;
    if (h) *h = r.h;
    return true;
}
}  // namespace

namespace {
// One of the rectangles the renderer kept for an entry when it last drew it.
using RectOfEntry = bool (TweakPanelRenderer::*)(uint64_t, const std::string&, TweakPanelRenderer::Rect*) const;

bool InspectRect(RectOfEntry rectOf, const TwBar* handle, const char* varName, float* x, float* y, float* w, float* h) {
    TweakPanelRenderer* renderer = TweakPanelRenderer::Get();
    TweakPanelLibrary::Bar* bar = TweakPanelLibrary::Get().FindQuiet(handle);
    TweakPanelRenderer::Rect r;
    if (!renderer || !bar || !varName || !(renderer->*rectOf)(bar->serial, varName, &r)) return false;
    return Out(r, x, y, w, h);
}
}  // namespace

bool TwInspectItemRect(const TwBar* handle, const char* varName, float* x, float* y, float* w, float* h) {
    return InspectRect(&TweakPanelRenderer::ItemRect, handle, varName, x, y, w, h);
}

bool TwInspectItemFieldRect(const TwBar* handle, const char* varName, float* x, float* y, float* w, float* h) {
    return InspectRect(&TweakPanelRenderer::FieldRect, handle, varName, x, y, w, h);
}

bool TwInspectItemHeld(const TwBar* handle, const char* varName) {
    TweakPanelRenderer* renderer = TweakPanelRenderer::Get();
    TweakPanelLibrary::Bar* bar = TweakPanelLibrary::Get().FindQuiet(handle);
    return renderer && bar && varName && renderer->Held(bar->serial, varName);
}

bool TwInspectBarRect(const TwBar* handle, float* x, float* y, float* w, float* h) {
    TweakPanelRenderer* renderer = TweakPanelRenderer::Get();
    TweakPanelLibrary::Bar* bar = TweakPanelLibrary::Get().FindQuiet(handle);
    TweakPanelRenderer::Rect r;
    if (!renderer || !bar || !renderer->BarRect(bar->serial, &r)) return false;
    return Out(r, x, y, w, h);
}

bool TwInspectBarInnerRect(const TwBar* handle, float* x, float* y, float* w, float* h) {
    TweakPanelRenderer* renderer = TweakPanelRenderer::Get();
    TweakPanelLibrary::Bar* bar = TweakPanelLibrary::Get().FindQuiet(handle);
    TweakPanelRenderer::Rect r;
    if (!renderer || !bar || !renderer->InnerRect(bar->serial, &r)) return false;
    return Out(r, x, y, w, h);
}

bool TwInspectDrawsWithGl() {
    TweakPanelRenderer* renderer = TweakPanelRenderer::Get();
    return renderer && renderer->HasGl();
}
