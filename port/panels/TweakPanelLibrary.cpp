#include "port/panels/TweakPanelLibrary.h"

#include "port/panels/TweakDefinition.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Byte size of a fixed-size type's value; 0 for strings and unknown codes.
size_t FixedSize(TwType type) {
    switch (type) {
        case TW_TYPE_BOOLCPP:
            return sizeof(bool);
        case TW_TYPE_BOOL8:
        case TW_TYPE_CHAR:
        case TW_TYPE_INT8:
        case TW_TYPE_UINT8:
            return 1;
        case TW_TYPE_BOOL16:
        case TW_TYPE_INT16:
        case TW_TYPE_UINT16:
            return 2;
        case TW_TYPE_BOOL32:
        case TW_TYPE_INT32:
        case TW_TYPE_UINT32:
        case TW_TYPE_FLOAT:
        case TW_TYPE_COLOR32:
            return 4;
        case TW_TYPE_DOUBLE:
            return 8;
        case TW_TYPE_COLOR3F:
        case TW_TYPE_DIR3F:
            return 12;
        case TW_TYPE_COLOR4F:
        case TW_TYPE_QUAT4F:
            return 16;
        case TW_TYPE_DIR3D:
            return 24;
        case TW_TYPE_QUAT4D:
            return 32;
        default:
            return 0;
    }
}

bool IsStringType(TwType type) {
    return type == TW_TYPE_CDSTRING || type == TW_TYPE_STDSTRING;
}

int FloatCount(TwType type) {
    switch (type) {
        case TW_TYPE_FLOAT:
            return 1;
        case TW_TYPE_COLOR3F:
        case TW_TYPE_DIR3F:
            return 3;
        case TW_TYPE_COLOR4F:
        case TW_TYPE_QUAT4F:
            return 4;
        default:
            return 0;
    }
}

int DoubleCount(TwType type) {
    switch (type) {
        case TW_TYPE_DOUBLE:
            return 1;
        case TW_TYPE_DIR3D:
            return 3;
        case TW_TYPE_QUAT4D:
            return 4;
        default:
            return 0;
    }
}

std::string FormatDouble(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

// One number at *p (leading blanks skipped), finite and, for a float, within
// a float's range; *p moves past it.
bool ParseOne(const char** p, bool isFloat, double* out) {
    char* end = nullptr;
    errno = 0;
    *out = std::strtod(*p, &end);
    if (end == *p) return false;
    *p = end;
    if (!std::isfinite(*out)) return false;
    return !isFloat || std::fabs(*out) <= FLT_MAX;
}

bool ParseDoubles(const std::string& text, double* out, int count, bool isFloat) {
    const char* p = text.c_str();
    for (int k = 0; k < count; ++k)
        if (!ParseOne(&p, isFloat, &out[k])) return false;
    while (*p == ' ' || *p == '\t') ++p;
    return *p == '\0';
}

bool ParseInteger(const std::string& text, long long* out) {
    const char* p = text.c_str();
    char* end = nullptr;
    *out = std::strtoll(p, &end, 10);
    if (end == p) return false;
    while (*end == ' ' || *end == '\t') ++end;
    return *end == '\0';
}

const std::vector<TwEnumVal> kNoEnumValues;

}  // namespace

TweakPanelLibrary& TweakPanelLibrary::Get() {
    static TweakPanelLibrary library;
    return library;
}

void TweakPanelLibrary::Error(const std::string& message) {
    lastError_ = message;
    hasError_ = true;
    if (errorHandler_) errorHandler_(lastError_.c_str());
}

TwBar* TweakPanelLibrary::Handle(const Bar& bar) {
    return reinterpret_cast<TwBar*>(static_cast<uintptr_t>(bar.serial));
}

TweakPanelLibrary::Bar* TweakPanelLibrary::FindBySerial(uint64_t serial) {
    for (auto& bar : bars_)
        if (bar->serial == serial) return bar.get();
    return nullptr;
}

TweakPanelLibrary::Bar* TweakPanelLibrary::FindQuiet(const TwBar* handle) {
    if (!handle) return nullptr;
    return FindBySerial(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle)));
}

TweakPanelLibrary::Bar* TweakPanelLibrary::Find(const TwBar* handle, const char* caller) {
    if (!handle) {
        Error(std::string(caller) + ": null bar");
        return nullptr;
    }
    Bar* bar = FindQuiet(handle);
    if (!bar) Error(std::string(caller) + ": bar does not exist (deleted)");
    return bar;
}

TweakPanelLibrary::Bar* TweakPanelLibrary::FindByName(const std::string& name) {
    for (auto& bar : bars_)
        if (bar->name == name) return bar.get();
    return nullptr;
}

TweakPanelLibrary::Var* TweakPanelLibrary::FindVar(Bar& bar, const std::string& name) {
    for (Var& var : bar.vars)
        if (var.name == name) return &var;
    return nullptr;
}

TwBar* TweakPanelLibrary::NewBar(const char* name) {
    if (!name || !*name) {
        Error("TwNewBar: empty bar name");
        return nullptr;
    }
    if (Bar* existing = FindByName(name)) {
        Error(std::string("TwNewBar: a bar named \"") + name + "\" already exists");
        return Handle(*existing);
    }
    if (std::strcmp(name, "GLOBAL") == 0) {
        Error("TwNewBar: \"GLOBAL\" is reserved");
        return nullptr;
    }
    auto bar = std::make_unique<Bar>();
    bar->serial = nextSerial_++;
    bar->name = name;
    bars_.push_back(std::move(bar));
    return Handle(*bars_.back());
}

bool TweakPanelLibrary::DeleteBar(const TwBar* handle) {
    Bar* bar = Find(handle, "TwDeleteBar");
    if (!bar) return false;
    for (auto it = bars_.begin(); it != bars_.end(); ++it) {
        if (it->get() == bar) {
            bars_.erase(it);
            break;
        }
    }
    return true;
}

void TweakPanelLibrary::DeleteAllBars() {
    bars_.clear();
}

bool TweakPanelLibrary::IsKnownType(TwType type) const {
    return FixedSize(type) != 0 || IsStringType(type) || IsEnum(type);
}

bool TweakPanelLibrary::AddVar(const TwBar* handle, Var var, const char* def) {
    const char* caller = var.kind == TweakVarKind::Button      ? "TwAddButton"
                         : var.kind == TweakVarKind::Separator ? "TwAddSeparator"
                         : var.kind == TweakVarKind::Callback  ? "TwAddVarCB"
                         : var.kind == TweakVarKind::ReadOnly  ? "TwAddVarRO"
                                                               : "TwAddVarRW";
    Bar* bar = Find(handle, caller);
    if (!bar) return false;
    if (var.name.empty()) {
        Error(std::string(caller) + ": empty variable name");
        return false;
    }
    if (FindVar(*bar, var.name)) {
        Error(std::string(caller) + ": \"" + var.name + "\" already exists in bar \"" + bar->name + "\"");
        return false;
    }
    bool isValue =
        var.kind == TweakVarKind::ReadWrite || var.kind == TweakVarKind::ReadOnly || var.kind == TweakVarKind::Callback;
    if (isValue && !IsKnownType(var.type)) {
        Error(std::string(caller) + ": unknown type for \"" + var.name + "\"");
        return false;
    }
    if ((var.kind == TweakVarKind::ReadWrite || var.kind == TweakVarKind::ReadOnly) && !var.address) {
        Error(std::string(caller) + ": null address for \"" + var.name + "\"");
        return false;
    }
    if (var.kind == TweakVarKind::ReadWrite && var.type == TW_TYPE_CDSTRING) {
        Error(std::string(caller) + ": a C string variable is read-write only through callbacks (\"" + var.name +
              "\")");
        return false;
    }
    if (var.kind == TweakVarKind::Callback && !var.getCallback) {
        Error(std::string(caller) + ": no get callback for \"" + var.name + "\"");
        return false;
    }
    bar->vars.push_back(var);
    if (def && *def) {
        std::vector<TweakDefinition::Param> params;
        std::string error;
        bool ok = TweakDefinition::ParseParams(def, &params, &error);
        for (auto& [key, value] : params) ApplyParam(bar, var.name, key, value);
        if (!ok) {
            Error(std::string(caller) + ": " + error);
            return false;
        }
    }
    return true;
}

bool TweakPanelLibrary::ApplyParam(Bar* bar, const std::string& item, const std::string& key,
                                   const std::string& value) {
    if (!bar) {
        globals_[key] = value;
        return true;
    }
    if (item.empty()) {
        bar->params[key] = value;
        return true;
    }
    if (Var* var = FindVar(*bar, item)) {
        var->params[key] = value;
        return true;
    }
    // Not a variable: a group, defined before or after its variables.
    bar->groups[item][key] = value;
    return true;
}

bool TweakPanelLibrary::Define(const char* def) {
    if (!def) {
        Error("TwDefine: null definition");
        return false;
    }
    std::vector<TweakDefinition::Line> lines;
    std::string error;
    bool ok = TweakDefinition::ParseDefine(def, &lines, &error);
    for (const auto& line : lines) {
        Bar* bar = nullptr;
        if (line.barName != "GLOBAL") {
            bar = FindByName(line.barName);
            if (!bar) {
                Error("TwDefine: unknown bar \"" + line.barName + "\"");
                ok = false;
                continue;
            }
        } else if (!line.itemName.empty()) {
            Error("TwDefine: GLOBAL has no items");
            ok = false;
            continue;
        }
        for (auto& [key, value] : line.params) ApplyParam(bar, line.itemName, key, value);
    }
    if (!error.empty()) Error("TwDefine: " + error);
    return ok;
}

TwType TweakPanelLibrary::DefineEnum(const char* name, const TwEnumVal* values, unsigned count) {
    if (!name || !*name) {
        Error("TwDefineEnum: empty name");
        return TW_TYPE_UNDEF;
    }
    if (count > 0 && !values) {
        Error("TwDefineEnum: null values");
        return TW_TYPE_UNDEF;
    }
    TwType type = TW_TYPE_UNDEF;
    for (auto& [code, e] : enums_)
        if (e.name == name) type = code;
    if (type == TW_TYPE_UNDEF) type = nextEnum_++;
    Enum& e = enums_[type];
    e.name = name;
    e.values.clear();
    e.labels.clear();
    for (unsigned k = 0; k < count; ++k) {
        e.labels.push_back(std::make_unique<std::string>(values[k].Label ? values[k].Label : ""));
        e.values.push_back(TwEnumVal{values[k].Value, e.labels.back()->c_str()});
    }
    return type;
}

bool TweakPanelLibrary::IsEnum(TwType type) const {
    return enums_.count(type) != 0;
}

const std::vector<TwEnumVal>& TweakPanelLibrary::EnumValues(TwType type) const {
    auto it = enums_.find(type);
    return it == enums_.end() ? kNoEnumValues : it->second.values;
}

std::string TweakPanelLibrary::EnumName(TwType type) const {
    auto it = enums_.find(type);
    return it == enums_.end() ? std::string() : it->second.name;
}

void TweakPanelLibrary::Reset() {
    bars_.clear();
    globals_.clear();
    enums_.clear();
    pending_.clear();
    lastError_.clear();
    hasError_ = false;
    errorHandler_ = nullptr;
}

bool TweakPanelLibrary::ParamIsTrue(const std::map<std::string, std::string>& params, const char* key, bool fallback) {
    auto it = params.find(key);
    if (it == params.end()) return fallback;
    bool value = fallback;
    TweakDefinition::ParseBool(it->second, &value);
    return value;
}

bool TweakPanelLibrary::IsReadOnly(const Var& var) {
    if (var.kind == TweakVarKind::ReadOnly) return true;
    if (var.kind == TweakVarKind::Callback && !var.setCallback) return true;
    return ParamIsTrue(var.params, "readonly", false);
}

bool TweakPanelLibrary::ReadValue(const Var& var, Value* value) const {
    *value = Value();
    size_t size = IsEnum(var.type) ? sizeof(int) : FixedSize(var.type);
    if (var.kind == TweakVarKind::Callback) {
        if (!var.getCallback) return false;
        if (var.type == TW_TYPE_CDSTRING) {
            char* slot = nullptr;
            var.getCallback(&slot, var.clientData);
            value->text = slot ? slot : "";
            std::free(slot);
        } else if (var.type == TW_TYPE_STDSTRING) {
            var.getCallback(&value->text, var.clientData);
        } else {
            var.getCallback(value->raw, var.clientData);
        }
        return true;
    }
    if (var.kind != TweakVarKind::ReadWrite && var.kind != TweakVarKind::ReadOnly) return false;
    if (var.type == TW_TYPE_CDSTRING) {
        const char* text = *static_cast<const char* const*>(var.address);
        value->text = text ? text : "";
    } else if (var.type == TW_TYPE_STDSTRING) {
        value->text = *static_cast<const std::string*>(var.address);
    } else {
        std::memcpy(value->raw, var.address, size);
    }
    return true;
}

void TweakPanelLibrary::WriteValue(Var& var, const Value& value) const {
    size_t size = IsEnum(var.type) ? sizeof(int) : FixedSize(var.type);
    if (var.kind == TweakVarKind::Callback) {
        if (!var.setCallback) return;
        if (var.type == TW_TYPE_CDSTRING) {
            const char* text = value.text.c_str();
            var.setCallback(&text, var.clientData);
        } else if (var.type == TW_TYPE_STDSTRING) {
            var.setCallback(&value.text, var.clientData);
        } else {
            var.setCallback(value.raw, var.clientData);
        }
        return;
    }
    if (var.kind != TweakVarKind::ReadWrite) return;
    if (var.type == TW_TYPE_STDSTRING) {
        *static_cast<std::string*>(var.address) = value.text;
    } else if (var.type != TW_TYPE_CDSTRING) {
        std::memcpy(var.address, value.raw, size);
    }
}

bool TweakPanelLibrary::ToText(TwType type, const Value& value, std::string* text) const {
    const unsigned char* raw = value.raw;
    auto boolText = [&](bool b) {
        *text = b ? "true" : "false";
        return true;
    };
    if (IsEnum(type)) {
        int v;
        std::memcpy(&v, raw, sizeof v);
        *text = std::to_string(v);
        return true;
    }
    if (IsStringType(type)) {
        *text = value.text;
        return true;
    }
    if (int n = FloatCount(type)) {
        float f[4];
        std::memcpy(f, raw, sizeof(float) * n);
        text->clear();
        for (int k = 0; k < n; ++k) *text += (k ? " " : "") + FormatDouble(f[k]);
        return true;
    }
    if (int n = DoubleCount(type)) {
        double d[4];
        std::memcpy(d, raw, sizeof(double) * n);
        text->clear();
        for (int k = 0; k < n; ++k) *text += (k ? " " : "") + FormatDouble(d[k]);
        return true;
    }
    switch (type) {
        case TW_TYPE_BOOLCPP: {
            bool b;
            std::memcpy(&b, raw, sizeof b);
            return boolText(b);
        }
        case TW_TYPE_BOOL8:
            return boolText(raw[0] != 0);
        case TW_TYPE_BOOL16: {
            uint16_t v;
            std::memcpy(&v, raw, 2);
            return boolText(v != 0);
        }
        case TW_TYPE_BOOL32: {
            uint32_t v;
            std::memcpy(&v, raw, 4);
            return boolText(v != 0);
        }
        case TW_TYPE_CHAR:
            *text = std::string(1, static_cast<char>(raw[0]));
            return true;
        case TW_TYPE_INT8:
            *text = std::to_string(static_cast<int8_t>(raw[0]));
            return true;
        case TW_TYPE_UINT8:
            *text = std::to_string(raw[0]);
            return true;
        case TW_TYPE_INT16: {
            int16_t v;
            std::memcpy(&v, raw, 2);
            *text = std::to_string(v);
            return true;
        }
        case TW_TYPE_UINT16: {
            uint16_t v;
            std::memcpy(&v, raw, 2);
            *text = std::to_string(v);
            return true;
        }
        case TW_TYPE_INT32: {
            int32_t v;
            std::memcpy(&v, raw, 4);
            *text = std::to_string(v);
            return true;
        }
        case TW_TYPE_UINT32:
        case TW_TYPE_COLOR32: {
            uint32_t v;
            std::memcpy(&v, raw, 4);
            *text = std::to_string(v);
            return true;
        }
        default:
            return false;
    }
}

bool TweakPanelLibrary::FromText(TwType type, const std::string& text, Value* value) const {
    *value = Value();
    unsigned char* raw = value->raw;
    if (IsStringType(type)) {
        value->text = text;
        return true;
    }
    if (int n = FloatCount(type)) {
        double d[4];
        if (!ParseDoubles(text, d, n, true)) return false;
        for (int k = 0; k < n; ++k) {
            float f = static_cast<float>(d[k]);
            std::memcpy(raw + k * sizeof f, &f, sizeof f);
        }
        return true;
    }
    if (int n = DoubleCount(type)) {
        double d[4];
        if (!ParseDoubles(text, d, n, false)) return false;
        std::memcpy(raw, d, sizeof(double) * n);
        return true;
    }
    bool b = false;
    bool isBool = type == TW_TYPE_BOOLCPP || type == TW_TYPE_BOOL8 || type == TW_TYPE_BOOL16 || type == TW_TYPE_BOOL32;
    if (isBool) {
        if (!TweakDefinition::ParseBool(text, &b)) return false;
        if (type == TW_TYPE_BOOLCPP) {
            std::memcpy(raw, &b, sizeof b);
        } else {
            uint32_t one = b ? 1u : 0u;  // little-endian: the low bytes hold 1 or 0
            std::memcpy(raw, &one, FixedSize(type));
        }
        return true;
    }
    if (type == TW_TYPE_CHAR) {
        if (text.size() != 1) return false;
        raw[0] = static_cast<unsigned char>(text[0]);
        return true;
    }
    long long v = 0;
    if (!ParseInteger(text, &v)) return false;
    if (IsEnum(type)) {
        int i = static_cast<int>(v);
        std::memcpy(raw, &i, sizeof i);
        return true;
    }
    size_t size = FixedSize(type);
    if (size == 0) return false;
    uint64_t bits = static_cast<uint64_t>(v);
    std::memcpy(raw, &bits, size);  // little-endian: the low bytes of the value
    return true;
}

bool TweakPanelLibrary::ParseNumber(const std::string& text, bool isFloat, double* out) {
    return ParseDoubles(text, out, 1, isFloat);
}

int TweakPanelLibrary::NumberCount(TwType type) {
    return FloatCount(type) + DoubleCount(type);
}

void TweakPanelLibrary::RunPending() {
    // Callbacks may add or delete bars and add more pending work: take the list
    // first and find every bar and variable again before each step.
    std::vector<Pending> work;
    work.swap(pending_);
    for (Pending& p : work) {
        Bar* bar = FindBySerial(p.barSerial);
        if (!bar) continue;
        Var* var = FindVar(*bar, p.varName);
        if (!var) continue;
        if (p.isButton) {
            if (var->kind == TweakVarKind::Button && var->buttonCallback) var->buttonCallback(var->clientData);
        } else if (!IsReadOnly(*var)) {
            WriteValue(*var, p.value);
        }
    }
}
